#include "run_process.h"

#include <stdexcept>

#include "sys/file.h"
#include "sys/file_system.h"
#include "sys/process.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testing_support {
namespace {

#ifdef _WIN32
// Quotes one argument so that the C runtime of the started program splits
// it back unchanged (backslashes before a quote are doubled).
std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
    } else {
      if (c == '"') quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    quoted.push_back(c);
  }
  quoted.append(backslashes, '\\');
  quoted.push_back('"');
  return quoted;
}

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &security, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
  return handle;
}

int Run(const std::string& program, const std::vector<std::string>& arguments,
        const std::string& outPath, const std::string& errPath, unsigned timeLimitMs, bool& timedOut) {
  std::string commandLine = QuoteArgument(program);
  for (const std::string& argument : arguments) {
    commandLine += ' ';
    commandLine += QuoteArgument(argument);
  }
  HANDLE out = InheritableFile(outPath);
  HANDLE err = InheritableFile(errPath);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      0, nullptr, nullptr, &startup, &process);
  CloseHandle(out);
  CloseHandle(err);
  if (!started) throw std::runtime_error("cannot start " + program);
  DWORD exitCode = 0;
  if (WaitForSingleObject(process.hProcess, timeLimitMs == kNoTimeLimit ? INFINITE : timeLimitMs) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    timedOut = true;
  }
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return timedOut ? -1 : static_cast<int>(exitCode);
}
#else
// Waits for the child, ending it (and noting so) once the time limit passes.
int WaitForChild(pid_t child, const std::string& program, unsigned timeLimitMs, bool& timedOut) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
  unsigned pauseMs = 1;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(child, &status, timeLimitMs == kNoTimeLimit ? 0 : WNOHANG);
    if (done == child) break;
    if (done < 0 && errno != EINTR) throw std::runtime_error("cannot wait for " + program);
    if (done == 0) {
      if (std::chrono::steady_clock::now() >= deadline) {
        kill(child, SIGKILL);
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        timedOut = true;
        return -1;
      }
      sys::SleepMs(pauseMs);
      pauseMs = std::min(pauseMs * 2, 20u);
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int Run(const std::string& program, const std::vector<std::string>& arguments,
        const std::string& outPath, const std::string& errPath, unsigned timeLimitMs, bool& timedOut) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot fork");
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) _exit(126);
    dup2(out, 1);
    dup2(err, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return WaitForChild(child, program, timeLimitMs, timedOut);
}
#endif

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& scratchFolder, unsigned timeLimitMs) {
  const std::string outPath = scratchFolder + sys::PathSeparator() + "stdout.txt";
  const std::string errPath = scratchFolder + sys::PathSeparator() + "stderr.txt";
  ProcessResult result;
  result.exitCode = Run(program, arguments, outPath, errPath, timeLimitMs, result.timedOut);
  result.output = sys::ReadWholeFile(outPath, sys::FileAccess::kReadShareReadWrite);
  result.errors = sys::ReadWholeFile(errPath, sys::FileAccess::kReadShareReadWrite);
  sys::RemoveFile(outPath);
  sys::RemoveFile(errPath);
  return result;
}

std::string QuorvelPackPath() {
#ifdef _WIN32
  return sys::ExecutableFolder() + "quorvel-pack.exe";
#else
  return sys::ExecutableFolder() + "quorvel-pack";
#endif
}

}  // namespace testing_support
