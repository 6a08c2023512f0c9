// tessel-convert.exe as a Windows user runs it: file names outside the ANSI code page for every
// file it touches, and outputs it may not replace. Windows only (run under Wine in CI).
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct ConvertRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // stdout and stderr together
};

std::wstring Quoted(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    for (const wchar_t c : argument) {
        if (c == L'"') {
            quoted += L'\\';
        }
        quoted += c;
    }
    return quoted + L"\"";
}

// Runs tessel-convert.exe with `arguments`, its command line in UTF-16 as Explorer or a console
// would pass it.
ConvertRun Convert(const std::vector<fs::path>& arguments,
                   const std::vector<std::wstring>& options = {}) {
    ConvertRun run;
    wchar_t program[MAX_PATH];
    if (::GetFullPathNameW(fs::path(TESSEL_CONVERT).wstring().c_str(), MAX_PATH, program,
                           nullptr) == 0) {
        return run;
    }
    std::wstring commandLine = Quoted(program);
    for (const std::wstring& option : options) {
        commandLine += L" " + option;
    }
    for (const fs::path& argument : arguments) {
        commandLine += L" " + Quoted(argument.wstring());
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return run;
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(program, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            run.output.append(buffer, read);
        }
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &run.exitCode);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    ::CloseHandle(readEnd);
    return run;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::wstring> Names(const fs::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().wstring());
    }
    return names;
}

class WindowsFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                (L"tessel-windows-" + std::to_wstring(::GetCurrentProcessId()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(root_, ignored)) {
            ::SetFileAttributesW(entry.path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        ::SetFileAttributesW(root_.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(root_, ignored);
    }

    fs::path root_;
    const fs::path example_ = fs::path(TESSEL_EXAMPLES_DIR) / "edius_example.aaf";
    const fs::path title_ = fs::path(TESSEL_EXAMPLES_DIR) / "opening_title.etl";
};

// Input, output, the title folder and the log file in folders named in Japanese and German: the
// document is the one the same conversion writes from plain names, title text included.
TEST_F(WindowsFilesTest, NamesOutsideTheAnsiCodePageWorkForEveryFile) {
    const fs::path plain = root_ / L"plain";
    fs::create_directories(plain / L"titles");
    fs::copy_file(example_, plain / L"edit.aaf");
    fs::copy_file(title_, plain / L"titles" / L"opening_title.etl");
    const ConvertRun plainRun = Convert({plain / L"edit.aaf", plain / L"edit.xml"},
                                        {L"--titles", Quoted((plain / L"titles").wstring())});
    ASSERT_EQ(plainRun.exitCode, 0u) << plainRun.output;
    const std::string expected = ReadAll(plain / L"edit.xml");
    ASSERT_NE(expected.find("Tessel Example"), std::string::npos) << "the title was not found";

    const fs::path folder = root_ / L"\u30D7\u30ED\u30B8\u30A7\u30AF\u30C8" / L"\u00DCber";
    const fs::path titles = folder / L"Titel \u00E4\u00F6\u00FC";
    fs::create_directories(titles);
    const fs::path input = folder / L"\u7DE8\u96C6 1.aaf";
    const fs::path output = folder / L"Schnitt \u00DF.xml";
    const fs::path log = folder / L"\u30ED\u30B0.txt";
    fs::copy_file(example_, input);
    fs::copy_file(title_, titles / L"opening_title.etl");

    const ConvertRun run = Convert(
        {input, output}, {L"--titles", Quoted(titles.wstring()), L"--log", Quoted(log.wstring())});
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(ReadAll(output), expected);
    const std::string logText = ReadAll(log);
    EXPECT_NE(logText.find("Finished!"), std::string::npos) << logText;
    // The log names the output as given, in UTF-8.
    EXPECT_NE(logText.find("Schnitt \xC3\x9F.xml"), std::string::npos) << logText;
}

TEST_F(WindowsFilesTest, AnInputThatIsMissingIsNamedInTheError) {
    const fs::path missing = root_ / L"\u00DCber" / L"fehlt.aaf";
    const ConvertRun run = Convert({missing, root_ / L"out.xml"});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.output.find("Cannot open"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\xC3\x9C"
                              "ber"),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(root_ / L"out.xml"));
}

// Another program holds the old document open without sharing it: the save fails with the
// system's reason, and the old document and the folder stay as they were.
TEST_F(WindowsFilesTest, ALockedOutputFileKeepsTheOldDocument) {
    const fs::path output = root_ / L"\u00DCber.xml";
    WriteAll(output, "old document");
    const HANDLE lock = ::CreateFileW(output.wstring().c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const ConvertRun run = Convert({example_, output});
    ::CloseHandle(lock);
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find("Cannot save \""), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("cannot replace the file"), std::string::npos) << run.output;
    EXPECT_EQ(ReadAll(output), "old document");
    EXPECT_EQ(Names(root_), std::vector<std::wstring>{L"\u00DCber.xml"});
}

// A read-only document is not replaced.
TEST_F(WindowsFilesTest, AReadOnlyOutputFileKeepsTheOldDocument) {
    const fs::path output = root_ / L"edit.xml";
    WriteAll(output, "old document");
    ASSERT_TRUE(::SetFileAttributesW(output.wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    const ConvertRun run = Convert({example_, output});
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find("Cannot save \""), std::string::npos) << run.output;
    EXPECT_EQ(ReadAll(output), "old document");
    EXPECT_EQ(Names(root_), std::vector<std::wstring>{L"edit.xml"});
}

// A folder nothing may be created in: the error names the folder, the old document stays.
TEST_F(WindowsFilesTest, AReadOnlyOutputFolderKeepsTheOldDocument) {
    const fs::path folder = root_ / L"\u30D5\u30A9\u30EB\u30C0";
    fs::create_directories(folder);
    const fs::path output = folder / L"edit.xml";
    WriteAll(output, "old document");
    ASSERT_TRUE(::SetFileAttributesW(folder.wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    const fs::path probe = folder / L"probe";
    const HANDLE created = ::CreateFileW(probe.wstring().c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) {
        ::CloseHandle(created);
        ::DeleteFileW(probe.wstring().c_str());
        GTEST_SKIP() << "files can still be created in the folder (Windows does not apply the "
                        "read-only mark to folders; nor does Wine for the superuser)";
    }
    const ConvertRun run = Convert({example_, output});
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find("cannot create a file in the folder"), std::string::npos)
        << run.output;
    EXPECT_EQ(ReadAll(output), "old document");
}

}  // namespace
