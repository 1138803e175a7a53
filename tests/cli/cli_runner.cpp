#include "tests/cli/cli_runner.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/test_files.h"

namespace vexlor::test {

namespace {

const char* CliProgram() {
    const char* program = std::getenv("VEXLOR_CLI");
    if (program == nullptr || *program == '\0') {
        throw std::runtime_error("VEXLOR_CLI is not set");
    }
    return program;
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

#ifdef _WIN32

std::wstring Wide(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

// The argument as the C runtime's command-line parser gives it back: quoted, with the
// backslashes before a quote doubled.
std::wstring CommandLineWord(const std::wstring& text) {
    std::wstring word = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        word.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        word += c;
    }
    word.append(backslashes * 2, L'\\');
    return word + L"\"";
}

// A file handle that the child inherits as one of its standard streams.
HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE file = CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open " + path);
    }
    return file;
}

int RunWithStreams(const std::vector<std::string>& args, const std::string& outPath,
                   const std::string& errPath, const std::string& inPath) {
    std::wstring commandLine = CommandLineWord(Wide(CliProgram()));
    for (const std::string& arg : args) {
        commandLine += L" " + CommandLineWord(Wide(arg));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableFile(inPath, GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    for (const HANDLE stream : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        CloseHandle(stream);
    }
    if (!started) {
        throw std::runtime_error("cannot run " + std::string(CliProgram()));
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    const bool known = GetExitCodeProcess(process.hProcess, &code) != 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return known ? static_cast<int>(code) : -1;
}

#else

// The argument as one word of the shell, whatever characters it holds.
std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (const char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

int RunWithStreams(const std::vector<std::string>& args, const std::string& outPath,
                   const std::string& errPath, const std::string& inPath) {
    std::string command = ShellWord(CliProgram());
    for (const std::string& arg : args) {
        command += " " + ShellWord(arg);
    }
    command += " >" + ShellWord(outPath) + " 2>" + ShellWord(errPath) + " <" + ShellWord(inPath);
    const int wait = std::system(command.c_str());
    return wait != -1 && WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
}

#endif

}  // namespace

CliResult RunCli(const std::vector<std::string>& args) {
    TempDir folder;
    const std::string outPath = folder.File("stdout");
    const std::string errPath = folder.File("stderr");
    const std::string inPath = folder.File("stdin");
    WriteFileBytes(inPath, {});
    CliResult result;
    result.status = RunWithStreams(args, outPath, errPath, inPath);
    result.out = ReadText(outPath);
    result.err = ReadText(errPath);
    return result;
}

}  // namespace vexlor::test
