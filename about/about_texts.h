#pragma once
// Every text the About window shows, in one place.

namespace about::texts {

inline constexpr const char* kCaption = "About";
inline constexpr const char* kVersionLine = "Quorvel EXE Packager version 1.0.0";
// Plain "(C)": the copyright sign is a different character in some ANSI code pages.
inline constexpr const char* kRightsNotice = "Copyright (C) 2026 Quorvel Software. All rights reserved.";
// Five lines, each short enough for the memo's width in the dialog font.
inline constexpr const char* kLegalNotice[] = {
    "This program is protected by copyright law and by",
    "international treaties. Copying or distributing it,",
    "or any part of it, without the written permission of",
    "Quorvel Software is not allowed and may result in",
    "civil and criminal prosecution.",
};
inline constexpr const char* kOk = "OK";

}  // namespace about::texts
