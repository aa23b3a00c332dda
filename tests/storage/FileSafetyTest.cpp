#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "storage/Cp932.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"
#include "support/ScopedUnprivileged.h"
#include "support/StoreFolder.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> FileNames(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(ErrnoText, CommonReasonsInJapaneseOthersFromTheSystem) {
    const struct {
        int error;
        const char* text;
    } cases[] = {
        {EACCES, "許可がありません"},
        {EPERM, "許可がありません"},
        {ENOSPC, "デバイスに空き領域がありません"},
        {EROFS, "読み込み専用のファイルシステムです"},
        {ENOENT, "そのようなファイルやディレクトリはありません"},
        {EISDIR, "ディレクトリです"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrnoText(c.error), Sjis(c.text)) << c.error;
    }
    EXPECT_EQ(ErrnoText(EXDEV), std::strerror(EXDEV));
    EXPECT_EQ(ErrnoSuffix(EACCES), Sjis(" (許可がありません)"));
}

TEST(FolderWriteProblem, NamesTheFolderAndTheReason) {
    StoreFolder folder;
    EXPECT_EQ(FolderWriteProblem(folder.Dir()), "");
    EXPECT_EQ(FileNames(folder.Dir()).size(), 0u) << "the check leaves no file";

    const std::string missing = folder.File("missing");
    EXPECT_EQ(FolderWriteProblem(missing),
              Sjis("フォルダ ") + missing +
                  Sjis(" に書込めません (そのようなファイルやディレクトリはありません)\r\n"
                       "書いたページを保存できません。"));

    ::chmod(folder.Dir().c_str(), 0555);
    {
        ScopedUnprivileged unprivileged(folder.Dir());
        EXPECT_EQ(FolderWriteProblem(folder.Dir()),
                  Sjis("フォルダ ") + folder.Dir() +
                      Sjis(" に書込めません (許可がありません)\r\n書いたページを保存できません。"));
    }
    ::chmod(folder.Dir().c_str(), 0755);
}

TEST(RemoveStaleTemporaries, RemovesOnlyTemporariesOfOurOwnFiles) {
    StoreFolder folder;
    const std::set<std::string> ours = {
        "2026.dat.Ab3xYz",       "1999.dat.000000",         "2026.dat.bak.q1W2e3",
        "2026.dat.bak12.zzzzzz", "Velmora.ini.aBcDeF",      "Velmora.mem.123abc",
        "Velmora.tdo.XyZ987",    "Velmora.mem.bak2.a1b2c3",
    };
    const std::set<std::string> others = {
        "2026.dat",       "2026.dat.bak",     "Velmora.hol.Ab3xYz",   "notes.dat.Ab3xYz",
        "2026.dat.Ab3xY", "2026.dat.Ab3xYz7", "2026.dat.Ab-xYz",      "x2026.dat.Ab3xYz",
        "Velmora.ini",    "Velmora.ini.bak",  "2026.dat.bakx.Ab3xYz", "readme.txt",
    };
    for (const std::string& name : ours) {
        SafeWriteFile(folder.File(name), "temporary");
    }
    for (const std::string& name : others) {
        SafeWriteFile(folder.File(name), "keep");
    }
    // A folder and a link with a temporary's name are not files we left.
    fs::create_directory(folder.File("2027.dat.Ab3xYz"));
    fs::create_symlink("readme.txt", folder.File("2028.dat.Ab3xYz"));

    EXPECT_EQ(RemoveStaleTemporaries(folder.Dir()), static_cast<int>(ours.size()));
    std::set<std::string> left = others;
    left.insert({"2027.dat.Ab3xYz", "2028.dat.Ab3xYz"});
    EXPECT_EQ(FileNames(folder.Dir()), left);
    EXPECT_EQ(RemoveStaleTemporaries(folder.File("missing")), 0);
}

TEST(SafeWrite, SymbolicLinksAreWrittenThrough) {
    StoreFolder folder;
    fs::create_directory(folder.File("real"));
    const struct {
        const char* link;
        const char* leadsTo;
        const char* target;
    } cases[] = {
        {"relative.dat", "real/relative.txt", "real/relative.txt"},
        {"dangling.dat", "real/new.txt", "real/new.txt"},
        {"chain.dat", "relative.dat", "real/relative.txt"},
    };
    SafeWriteFile(folder.File("real/relative.txt"), "old");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        fs::create_symlink(c.leadsTo, folder.File(c.link));
        SafeWriteFile(folder.File(c.link), c.link);
        EXPECT_TRUE(fs::is_symlink(folder.File(c.link)));
        EXPECT_EQ(folder.Read(c.target), c.link);
    }
    EXPECT_EQ(FileNames(folder.File("real")), (std::set<std::string>{"new.txt", "relative.txt"}))
        << "no temporary left beside the target";
}

TEST(ReadFileIfExists, MissingFolderAndUnreadable) {
    StoreFolder folder;
    std::string contents;
    EXPECT_FALSE(ReadFileIfExists(folder.File("missing.dat"), contents));
    fs::create_directory(folder.File("2003.dat"));
    try {
        ReadFileIfExists(folder.File("2003.dat"), contents);
        ADD_FAILURE() << "a folder was read as a file";
    } catch (const VelmoraError& e) {
        EXPECT_EQ(std::string(e.what()), Sjis("ファイル ") + folder.File("2003.dat") +
                                             Sjis(" は開けません (ディレクトリです)"));
        EXPECT_EQ(e.Reason(), Sjis(" (ディレクトリです)"));
    }
}

}  // namespace
