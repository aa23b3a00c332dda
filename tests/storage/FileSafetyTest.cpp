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

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
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

TEST(TemporaryOwner, OnlyHiddenNamesWithTheProgramsMark) {
    const struct {
        const char* name;
        const char* owner;  // "" for a name that is not a temporary
    } cases[] = {
        {".2026.dat.velmora-tmp-Ab3xYz", "2026.dat"},
        {".Velmora.ini.velmora-tmp-000000", "Velmora.ini"},
        {".2026.dat.bak2.velmora-tmp-q1W2e3", "2026.dat.bak2"},
        {".x.velmora-tmp-zzzzzz", "x"},
        // What people name their own copies, and temporaries of earlier versions.
        {"2026.dat.Ab3xYz", ""},
        {"2024.dat.backup", ""},
        {"Velmora.tdo.before", ""},
        // Not quite the mark.
        {"2026.dat.velmora-tmp-Ab3xYz", ""},
        {".2026.dat.velmora-tmp-Ab3xY", ""},
        {".2026.dat.velmora-tmp-Ab3xYz7", ""},
        {".2026.dat.velmora-tmp-Ab-xYz", ""},
        {".2026.dat.velmora-tmpAb3xYz", ""},
        {".velmora-tmp-Ab3xYz", ""},
        {"..velmora-tmp-Ab3xYz", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TemporaryOwner(c.name), c.owner) << c.name;
    }
}

// A private diary stays private through every kind of write: the rewrite of the file, the copy
// kept before another program's version is overwritten, and a copy of it elsewhere.
TEST(SafeWrite, EveryWriteKeepsTheFilesMode) {
    StoreFolder folder;
    const mode_t oldMask = ::umask(022);
    for (const mode_t mode : {0600, 0640, 0644, 0400}) {
        SCOPED_TRACE(mode);
        const std::string file = folder.File("2026.dat");
        fs::remove(file);
        SafeWriteFile(file, "first");
        ::chmod(file.c_str(), mode);
        SafeWriteFile(file, "second");
        EXPECT_EQ(ModeOf(file), mode) << "rewrite";
        const std::string bak = KeepBackup(file);
        EXPECT_EQ(ModeOf(bak), mode) << "backup " << bak;
        SafeWriteCopy(folder.File("copy.dat"), "second", file, FileStampOf(file));
        EXPECT_EQ(ModeOf(folder.File("copy.dat")), mode) << "copy";
        fs::remove(bak);
        fs::remove(folder.File("copy.dat"));
    }
    SafeWriteFile(folder.File("new.dat"), "x");
    EXPECT_EQ(ModeOf(folder.File("new.dat")), 0644u) << "a new file gets what a plain create gives";
    ::umask(oldMask);
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
