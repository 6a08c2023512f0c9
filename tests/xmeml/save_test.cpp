#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>

#include "xmeml/atomic_file.h"
#include "xmeml/xml_document.h"

namespace fs = std::filesystem;

namespace {

class SaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tessel-save-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        xml_.Create();
        xml_.AddTextElement(xml_.GetRoot(), "name", "Ä & <b>");
    }
    void TearDown() override {
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
    }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }
    size_t EntryCount() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }

    // A file size limit makes a write fail part way, as a full disk does.
    static SaveStatus SaveWithSizeLimit(rlim_t limit, const std::function<SaveStatus()>& save) {
        rlimit saved{};
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = limit;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const SaveStatus status = save();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        return status;
    }
    void ExpectTooLargeAndOldFileKept(const SaveStatus& status, const fs::path& out) const {
        EXPECT_FALSE(status.ok);
        EXPECT_NE(status.message.find("File too large"), std::string::npos) << status.message;
        EXPECT_EQ(Read(out), "old content");
        EXPECT_EQ(EntryCount(), 1u);  // no temporary file left behind
    }

    fs::path folder_;
    FCXmlDocument xml_;
};

// Bytes that differ from one position to the next, so that a piece out of place shows.
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 4099) % 26);
    }
    return bytes;
}

// Writes `content` in pieces of uneven sizes, as the document writer hands them over.
SaveStatus SaveInPieces(const fs::path& path, const std::string& content) {
    return WriteFileAtomically(path.string(), [&content](ByteSink& sink) {
        size_t done = 0;
        for (size_t piece = 1; done < content.size(); piece = piece * 3 % 2'000'003 + 1) {
            const size_t size = std::min(piece, content.size() - done);
            sink.Write(std::string_view(content).substr(done, size));
            done += size;
        }
    });
}

TEST_F(SaveTest, WritesTheDocumentAsSerialised) {
    const fs::path out = folder_ / "out.xml";
    const SaveStatus status = xml_.Save(out.string());
    ASSERT_TRUE(status.ok) << status.message;
    EXPECT_EQ(Read(out), xml_.ToString());
    EXPECT_EQ(Read(out),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<xmeml version=\"4\"><name>\xC3\x84 &amp; &lt;b&gt;</name></xmeml>\n");
    EXPECT_EQ(EntryCount(), 1u);  // no temporary file left behind
}

TEST_F(SaveTest, ReplacesAnExistingFileAndKeepsItsPermissions) {
    const fs::path out = folder_ / "out.xml";
    std::ofstream(out) << "old content";
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(xml_.Save(out.string()).ok);
    EXPECT_EQ(Read(out), xml_.ToString());
    EXPECT_EQ(fs::status(out).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(SaveTest, ReadOnlyFolderKeepsTheOldFileAndSaysWhy) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    const fs::path out = folder_ / "out.xml";
    std::ofstream(out) << "old content";
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    const SaveStatus status = xml_.Save(out.string());
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find(out.string()), std::string::npos) << status.message;
    EXPECT_NE(status.message.find("Permission denied"), std::string::npos) << status.message;
    EXPECT_EQ(Read(out), "old content");
}

TEST_F(SaveTest, MissingFolderFailsWithAReason) {
    const fs::path out = folder_ / "no such folder" / "out.xml";
    const SaveStatus status = xml_.Save(out.string());
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("No such file or directory"), std::string::npos)
        << status.message;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(SaveTest, AFolderInTheWayIsNotReplaced) {
    const fs::path out = folder_ / "out.xml";
    fs::create_directory(out);
    EXPECT_FALSE(xml_.Save(out.string()).ok);
    EXPECT_TRUE(fs::is_directory(out));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(SaveTest, AFailedWriteKeepsTheOldFileAndLeavesNoPartialFile) {
    const fs::path out = folder_ / "out.xml";
    std::ofstream(out) << "old content";
    const SaveStatus status = SaveWithSizeLimit(16, [&] { return xml_.Save(out.string()); });
    ExpectTooLargeAndOldFileKept(status, out);
}

// Long documents are synced a stretch at a time while the rest is still being written.
TEST_F(SaveTest, ALongDocumentIsSavedWhole) {
    const fs::path out = folder_ / "out.xml";
    std::ofstream(out) << "old content";
    const std::string content = Pattern(21'000'017);
    const SaveStatus status = SaveInPieces(out, content);
    ASSERT_TRUE(status.ok) << status.message;
    EXPECT_TRUE(Read(out) == content);
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(SaveTest, AWriteFailingAfterTheFirstStretchKeepsTheOldFile) {
    const fs::path out = folder_ / "out.xml";
    std::ofstream(out) << "old content";
    // Past the first stretch, short of the whole.
    const SaveStatus status =
        SaveWithSizeLimit(12 << 20, [&] { return SaveInPieces(out, Pattern(21'000'017)); });
    ExpectTooLargeAndOldFileKept(status, out);
}

// The replaced file is held open across the rename (its blocks are freed on a helper thread);
// a named pipe in its place must not be opened, or saving would wait for a writer.
TEST_F(SaveTest, ReplacesALongFileAndANamedPipe) {
    const fs::path longFile = folder_ / "long.xml";
    std::ofstream(longFile) << Pattern(9'000'000);
    ASSERT_TRUE(xml_.Save(longFile.string()).ok);
    EXPECT_EQ(Read(longFile), xml_.ToString());

    const fs::path pipe = folder_ / "pipe.xml";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_TRUE(xml_.Save(pipe.string()).ok);
    EXPECT_TRUE(fs::is_regular_file(pipe));
    EXPECT_EQ(Read(pipe), xml_.ToString());
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(SaveTest, SavingThroughASymbolicLinkReplacesItsTarget) {
    const fs::path real = folder_ / "real.xml";
    const fs::path link = folder_ / "link.xml";
    std::ofstream(real) << "old content";
    fs::create_symlink(real, link);
    ASSERT_TRUE(xml_.Save(link.string()).ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(real), xml_.ToString());
}

}  // namespace
