#!/usr/bin/env python3
# Writes the licence notices of the libraries linked into the shipped
# programs, quoted from the copyright files of the Debian packages installed
# (the same sources the Windows libraries are built from), and their index.
#   scripts/licence_notices.py assets/licences
import sys, re
def paragraphs(path):
    text = open(path, encoding='utf-8').read()
    return [p for p in re.split(r'\n\s*\n(?=[A-Z][A-Za-z-]*:)', text) if p.strip()]
def fields(par):
    out = {}; key = None
    for line in par.split('\n'):
        m = re.match(r'^([A-Z][A-Za-z-]*):\s?(.*)$', line)
        if m and not line.startswith(' '):
            key = m.group(1); out[key] = [m.group(2)]
        elif key:
            out[key].append(line)
    return out
def body(lines):
    res = []
    for l in lines[1:]:
        l = l[1:] if l.startswith(' ') else l
        res.append('' if l.strip() == '.' else l.rstrip())
    return '\n'.join(res).rstrip() + '\n'
def licence(path, name, files_first=None):
    """Text of licence `name`: a standalone paragraph, or the one attached to a Files stanza."""
    for p in paragraphs(path):
        f = fields(p)
        if 'License' in f and f['License'][0].strip() == name and len(f['License']) > 1:
            if files_first is None and 'Files' not in f: return body(f['License'])
            if files_first is not None and 'Files' in f and f['Files'][0].strip() == files_first: return body(f['License'])
    for p in paragraphs(path):
        f = fields(p)
        if 'License' in f and f['License'][0].strip() == name and len(f['License']) > 1: return body(f['License'])
    raise SystemExit('no licence ' + name)
def copyright(path, files_first):
    for p in paragraphs(path):
        f = fields(p)
        if 'Files' in f and f['Files'][0].strip() == files_first:
            lines = [f['Copyright'][0]] + [l.strip() for l in f['Copyright'][1:]]
            return '\n'.join('Copyright ' + l.strip() if not l.lower().startswith(('copyright', '(c)', '©')) else l.strip() for l in lines if l.strip()) + '\n'
    raise SystemExit('no files ' + files_first)

import os, subprocess

DOC = '/usr/share/doc'

def version(package):
    return subprocess.run(['dpkg-query', '-W', '-f=${Version}\n', package], check=True,
                          capture_output=True, text=True).stdout.split()[0]

def copyright_file(package):
    return os.path.join(DOC, package, 'copyright')

# name, title, Debian package whose copyright file is quoted, and the parts:
# ('copyright', Files pattern) | ('licence', name[, Files pattern]) | ('text', plain text) |
# ('lines', first, last) for a licence kept as plain text in the file.
NOTICES = [
    ('zlib', 'zlib, the compression library', 'libz-mingw-w64',
     [('copyright', '*'), ('licence', 'Zlib')]),
    ('libjpeg-turbo', 'libjpeg-turbo, the JPEG codec', 'libjpeg62-turbo',
     [('text', 'This software is based in part on the work of the Independent JPEG Group.\n'),
      ('copyright', 'BUILDING.md'), ('licence', 'BSD-BY-LC-NE'),
      ('text', 'The SIMD parts are covered by this licence:\n'), ('licence', 'Zlib')]),
    ('libpng', 'libpng, the PNG reference library', 'libpng16-16',
     [('copyright', '*'), ('licence', 'libpng')]),
    ('giflib', 'giflib, the GIF library', 'libgif7',
     [('copyright', '*'), ('licence', 'MIT'),
      ('copyright', 'openbsd-reallocarray.c'), ('licence', 'ISC', 'openbsd-reallocarray.c')]),
    ('liblzma', 'liblzma, the LZMA library of XZ Utils', 'liblzma5',
     [('text', 'liblzma is in the public domain.\n'), ('copyright', '*'), ('licence', 'PD', '*')]),
    ('agg', 'Anti-Grain Geometry, the rendering library (used through its headers)', 'libagg-dev',
     [('copyright', '*'), ('licence', 'BSD-3-clause')]),
    ('winpthreads', 'winpthreads and the mingw-w64 runtime', 'mingw-w64-common',
     [('copyright', 'mingw-w64-libraries/winpthreads/*'), ('licence', 'expat'),
      ('copyright', 'mingw-w64-libraries/winpthreads/include/pthread.h'),
      ('licence', 'BSD-3-clause-Lockless', 'mingw-w64-libraries/winpthreads/include/pthread.h'),
      ('text', 'The mingw-w64 runtime that starts every program:\n'),
      ('copyright', '*'), ('licence', 'ZPL-2.1', '*')]),
    ('gcc-runtime', 'libgcc and libstdc++, the GCC runtime libraries', 'gcc-mingw-w64-base',
     [('lines', 'The following runtime libraries are licensed', ' - libstdc++-v3'),
      ('lines', 'GCC RUNTIME LIBRARY EXCEPTION', 'requirements of the license of GCC.')]),
]

def plain_lines(path, first, last):
    lines = open(path, encoding='utf-8').read().split('\n')
    start = next(i for i, l in enumerate(lines) if l.startswith(first))
    end = next(i for i in range(start, len(lines)) if lines[i].startswith(last))
    return '\n'.join(lines[start:end + 1]).rstrip() + '\n'

def notice(name, title, package, parts):
    path = copyright_file(package)
    out = [f'{title}\n', f'Quoted from {path} (Debian package {package} {version(package)}).\n']
    for part in parts:
        kind = part[0]
        if kind == 'copyright':
            out.append(copyright(path, part[1]))
        elif kind == 'licence':
            out.append(licence(path, part[1], part[2] if len(part) > 2 else None))
        elif kind == 'text':
            out.append(part[1])
        else:
            out.append(plain_lines(path, part[1], part[2]))
    return '\n'.join(out)

def main():
    target = sys.argv[1]
    index = ['# The third-party libraries linked into QuorvelPackager.exe, player.dat and',
             '# quorvel-pack.exe: one line each, its name and its notice file. Written by',
             '# scripts/licence_notices.py; scripts/check-licences.sh holds it against the',
             '# link lines.']
    for name, title, package, parts in NOTICES:
        with open(os.path.join(target, name + '.txt'), 'w', encoding='utf-8') as f:
            f.write(notice(name, title, package, parts))
        index.append(f'{name} {name}.txt')
    with open(os.path.join(target, 'index.txt'), 'w', encoding='utf-8') as f:
        f.write('\n'.join(index) + '\n')

if __name__ == '__main__':
    main()
