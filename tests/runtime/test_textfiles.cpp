// Files: text-mode line ends on disk, ReadLine's line rules and limits, ScanFile beside ReadLine,
// the handle table, replacing a file as a whole, and the program's directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "runtime/core/program_dirs.h"
#include "runtime/textfiles.h"

namespace fs = std::filesystem;
using tevran_test::readBytes;
using tevran_test::writeBytes;

namespace {

class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tevran-files-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        ::chmod(dir_.c_str(), 0700);
        fs::remove_all(dir_);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
        return names;
    }

    std::string dir_;
};

TEST_F(Files, WritingTextAndBinary) {
    const std::string p = path("log.txt");
    int h = OpenFile(p.c_str(), VAL_WRITE_ONLY, VAL_TRUNCATE, VAL_ASCII);
    ASSERT_GE(h, 1);
    EXPECT_EQ(FmtFile(h, "%s<a=%d\nb\n", 1), 8);  // bytes after CR LF conversion
    // Unbuffered: the text is on disk before the handle is closed.
    EXPECT_EQ(readBytes(p), "a=1\r\nb\r\n");
    EXPECT_EQ(CloseFile(h), 0);

    h = OpenFile(p.c_str(), VAL_WRITE_ONLY, VAL_APPEND, VAL_BINARY);
    ASSERT_GE(h, 1);
    EXPECT_EQ(FmtFile(h, "c\n"), 2);
    EXPECT_EQ(CloseFile(h), 0);
    EXPECT_EQ(readBytes(p), "a=1\r\nb\r\nc\n");

    // As-is keeps the content and writes from the start; truncate empties.
    h = OpenFile(p.c_str(), VAL_WRITE_ONLY, VAL_OPEN_AS_IS, VAL_BINARY);
    EXPECT_EQ(FmtFile(h, "X"), 1);
    EXPECT_EQ(CloseFile(h), 0);
    EXPECT_EQ(readBytes(p), "X=1\r\nb\r\nc\n");
    h = OpenFile(p.c_str(), VAL_WRITE_ONLY, VAL_TRUNCATE, VAL_BINARY);
    EXPECT_EQ(CloseFile(h), 0);
    EXPECT_EQ(readBytes(p), "");

    // Missing files: created for writing, an error for reading (with the system's reason).
    h = OpenFile(path("new.txt").c_str(), VAL_WRITE_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    EXPECT_GE(h, 1);
    EXPECT_EQ(CloseFile(h), 0);
    EXPECT_EQ(OpenFile(path("missing.txt").c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII), -1);
    EXPECT_STREQ(fileErrorText(), std::strerror(ENOENT));
    EXPECT_LT(OpenFile(dir_.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII), 0);

    // Reading only never empties or creates, and refuses writes.
    writeBytes(p, "keep\n");
    h = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_TRUNCATE, VAL_ASCII);
    ASSERT_GE(h, 1);
    EXPECT_LT(FmtFile(h, "x"), 0);
    EXPECT_EQ(CloseFile(h), 0);
    EXPECT_EQ(readBytes(p), "keep\n");
    EXPECT_LT(OpenFile(path("never.txt").c_str(), VAL_READ_ONLY, VAL_TRUNCATE, VAL_ASCII), 0);
    EXPECT_FALSE(fs::exists(path("never.txt")));
}

TEST_F(Files, WriteFailureIsReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const int h = OpenFile("/dev/full", VAL_WRITE_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    ASSERT_GE(h, 1);
    EXPECT_LT(FmtFile(h, "data %d\n", 1), 0);
    EXPECT_STREQ(fileErrorText(), std::strerror(ENOSPC));
    EXPECT_EQ(CloseFile(h), 0);
}

TEST_F(Files, ReadLineRules) {
    const std::string p = path("lines.txt");
    const std::string longLine(200, 'L');
    writeBytes(p, "crlf\r\nlf\n\n\r\n" + longLine + "\r\nabcd\r\nabcd\r\nab\rc\nlast");
    const int h = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    ASSERT_GE(h, 1);
    char buf[151];
    EXPECT_EQ(ReadLine(h, buf, 150), 4);
    EXPECT_STREQ(buf, "crlf");
    EXPECT_EQ(ReadLine(h, buf, 150), 2);
    EXPECT_STREQ(buf, "lf");
    EXPECT_EQ(ReadLine(h, buf, 150), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(ReadLine(h, buf, 150), 0);
    EXPECT_EQ(ReadLine(h, buf, 150), 150);  // cut; the rest of the line is passed over
    EXPECT_EQ(std::string(buf), longLine.substr(0, 150));
    // A line exactly as long as the room, and one longer: the CR is never stored.
    EXPECT_EQ(ReadLine(h, buf, 4), 4);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(ReadLine(h, buf, 3), 3);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(ReadLine(h, buf, 150), 4);  // a CR inside a line stays
    EXPECT_STREQ(buf, "ab\rc");
    EXPECT_EQ(ReadLine(h, buf, 150), 4);  // the last line has no line end
    EXPECT_STREQ(buf, "last");
    EXPECT_EQ(ReadLine(h, buf, 150), -2);
    EXPECT_EQ(ReadLine(h, buf, 150), -2);
    EXPECT_EQ(CloseFile(h), 0);

    const std::string empty = path("empty.txt");
    writeBytes(empty, "");
    const int e = OpenFile(empty.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    EXPECT_EQ(ReadLine(e, buf, 150), -2);
    EXPECT_EQ(ReadLine(e, nullptr, 150), -1);
    EXPECT_EQ(CloseFile(e), 0);
}

// Lines longer than the read buffer, and a CR LF split across two buffer fills.
TEST_F(Files, ReadLineAcrossBufferFills) {
    const std::string p = path("big.txt");
    const std::size_t fill = 256 * 1024;
    const std::string huge(3 * fill + 17, 'h');
    // The CR after `split` is the last byte of the fifth fill, its LF the first of the sixth.
    const std::string split(5 * fill - 1 - (huge.size() + 2), 's');
    const std::string content = huge + "\r\n" + split + "\r\nnext\n";
    const std::size_t crAt = huge.size() + 2 + split.size();
    ASSERT_EQ((crAt + 1) % fill, 0u);
    writeBytes(p, content);

    const int h = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    ASSERT_GE(h, 1);
    std::vector<char> buf(2 * fill + 1);
    EXPECT_EQ(ReadLine(h, buf.data(), 10), 10);
    EXPECT_EQ(ReadLine(h, buf.data(), static_cast<int>(2 * fill)), static_cast<int>(split.size()));
    EXPECT_EQ(std::string(buf.data()), split);
    EXPECT_EQ(ReadLine(h, buf.data(), 100), 4);
    EXPECT_STREQ(buf.data(), "next");
    EXPECT_EQ(ReadLine(h, buf.data(), 100), -2);
    EXPECT_EQ(CloseFile(h), 0);
}

// SkipLines against ReadLine on one file: groups of lines skipped, the last of each read, across
// buffer refills, around the 64-byte search blocks, past lines longer than the read buffer, and
// up to a last line without its end.
TEST_F(Files, SkipLinesCountsAsReadLineDoes) {
    const std::size_t fill = 256 * 1024;
    std::mt19937 rng(11);
    std::vector<std::string> lines;
    std::string content;
    const auto add = [&](std::string line, const char* end) {
        content += line + end;
        lines.push_back(std::move(line));
    };
    // The LF of the first line is the last byte of the first fill; the CR of the second line
    // is the last byte of the second fill, its LF the first of the third.
    add(std::string(fill - 2, 'a'), "\r\n");
    add(std::string(fill - 2, 'b'), "\r\n");
    add("", "\n");
    for (int i = 0; i < 6000; ++i) {
        std::size_t len = rng() % 80;
        if (i % 1500 == 700) len = fill + 1000 + rng() % 1000;  // longer than the buffer
        if (i % 97 == 0) len = 62 + rng() % 4;                  // around a block's size
        add(std::string(len, static_cast<char>('c' + i % 20)), rng() % 2 ? "\r\n" : "\n");
    }
    add("tail", "");
    const std::string p = path("groups.txt");
    writeBytes(p, content);

    char buf[151];
    for (int group : {1, 2, 3, 7, 64, 65, 999, 10000}) {
        SCOPED_TRACE(group);
        const int h = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
        ASSERT_GE(h, 1);
        std::size_t at = 0;  // the next line of `lines`
        for (;;) {
            const int want = static_cast<int>(std::min<std::size_t>(group - 1, lines.size() - at));
            ASSERT_EQ(SkipLines(h, group - 1), want) << "at line " << at;
            at += static_cast<std::size_t>(want);
            const int n = ReadLine(h, buf, 150);
            if (at == lines.size()) {
                EXPECT_EQ(n, -2);
                break;
            }
            const std::string expected = lines[at].substr(0, 150);
            ASSERT_EQ(n, static_cast<int>(expected.size())) << "at line " << at;
            ASSERT_EQ(std::string(buf), expected) << "at line " << at;
            ++at;
        }
        EXPECT_EQ(SkipLines(h, 3), 0);
        EXPECT_EQ(CloseFile(h), 0);
    }

    // A last line without its end counts as one line, also when it starts a fill; none, zero and
    // bad requests skip nothing.
    writeBytes(p, std::string(fill - 1, 'x') + "\nrest");
    const int h = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    EXPECT_EQ(SkipLines(h, 0), 0);
    EXPECT_EQ(SkipLines(h, 1), 1);
    EXPECT_EQ(SkipLines(h, 0), 0);
    EXPECT_EQ(ReadLine(h, buf, 150), 4);
    EXPECT_STREQ(buf, "rest");
    EXPECT_EQ(CloseFile(h), 0);
    const int again = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    EXPECT_EQ(SkipLines(again, 5), 2);
    EXPECT_EQ(SkipLines(again, -1), -1);
    EXPECT_EQ(ReadLine(again, buf, 150), -2);
    EXPECT_EQ(CloseFile(again), 0);
    EXPECT_EQ(SkipLines(again, 1), -1);  // closed
    // A file whose last line end is the last byte of a fill, or of the file: no line after it.
    for (const std::string& text : {std::string(fill - 1, 'y') + "\n", std::string("abc\n")}) {
        writeBytes(p, text);
        const int e = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
        EXPECT_EQ(SkipLines(e, 5), 1);
        EXPECT_EQ(ReadLine(e, buf, 150), -2);
        EXPECT_EQ(CloseFile(e), 0);
    }
    const int w = OpenFile(path("w.txt").c_str(), VAL_WRITE_ONLY, VAL_TRUNCATE, VAL_ASCII);
    EXPECT_EQ(SkipLines(w, 1), -1);
    EXPECT_EQ(CloseFile(w), 0);
}

TEST_F(Files, ScanFileAndReadLineShareThePosition) {
    const std::string p = path("mixed.txt");
    writeBytes(p, "3 4.5\r\nname line\r\n10 20\r\n");
    const int h = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    ASSERT_GE(h, 1);
    int i = 0, j = 0;
    double d = 0;
    char buf[64];
    EXPECT_EQ(ScanFile(h, "%s>%d%f", &i, &d), 2);
    EXPECT_EQ(i, 3);
    EXPECT_DOUBLE_EQ(d, 4.5);
    EXPECT_EQ(ReadLine(h, buf, 63), 0);  // the rest of the first line
    EXPECT_EQ(ReadLine(h, buf, 63), 9);
    EXPECT_STREQ(buf, "name line");
    EXPECT_EQ(ScanFile(h, "%d %d", &i, &j), 2);
    EXPECT_EQ(j, 20);
    EXPECT_EQ(ReadLine(h, buf, 63), 0);
    EXPECT_EQ(ReadLine(h, buf, 63), -2);
    EXPECT_EQ(ScanFile(h, "%d", &i), 0);
    EXPECT_EQ(CloseFile(h), 0);

    // Reading and writing one handle: the write lands where reading stood.
    writeBytes(p, "aaa\nbbb\n");
    const int rw = OpenFile(p.c_str(), VAL_READ_WRITE, VAL_OPEN_AS_IS, VAL_BINARY);
    EXPECT_EQ(ReadLine(rw, buf, 63), 3);
    EXPECT_EQ(FmtFile(rw, "X"), 1);
    EXPECT_EQ(ReadLine(rw, buf, 63), 2);
    EXPECT_STREQ(buf, "bb");
    EXPECT_EQ(CloseFile(rw), 0);
    EXPECT_EQ(readBytes(p), "aaa\nXbb\n");

    const int w = OpenFile(path("w.txt").c_str(), VAL_WRITE_ONLY, VAL_TRUNCATE, VAL_ASCII);
    EXPECT_LT(ScanFile(w, "%d", &i), 0);
    EXPECT_EQ(ReadLine(w, buf, 63), -1);
    EXPECT_EQ(CloseFile(w), 0);
}

TEST_F(Files, HandleTable) {
    const std::string p = path("h.txt");
    writeBytes(p, "x\n");
    // Every test closes its files, so the table is empty here.
    std::vector<int> handles;
    for (;;) {
        const int h = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
        if (h < 0) break;
        handles.push_back(h);
        ASSERT_LE(handles.size(), 1000u);
    }
    ASSERT_EQ(handles.size(), 64u);
    for (std::size_t k = 0; k < handles.size(); ++k) EXPECT_EQ(handles[k], static_cast<int>(k) + 1);
    EXPECT_LT(OpenFileForReplace(p.c_str(), VAL_ASCII), 0);
    EXPECT_EQ(entries().size(), 1u);  // a refused replace leaves no temporary file
    EXPECT_EQ(CloseFile(handles[10]), 0);
    EXPECT_EQ(OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII), 11);
    for (int h : handles) EXPECT_EQ(CloseFile(h), 0);

    char buf[8];
    for (int bad : {0, -1, 65, 1000, 1}) {  // 1 is closed by now
        EXPECT_LT(CloseFile(bad), 0) << bad;
        EXPECT_EQ(ReadLine(bad, buf, 7), -1) << bad;
        EXPECT_LT(FmtFile(bad, "x"), 0) << bad;
        int i;
        EXPECT_LT(ScanFile(bad, "%d", &i), 0) << bad;
    }
    EXPECT_EQ(OpenFile(p.c_str(), 7, VAL_OPEN_AS_IS, VAL_ASCII), -1);
    EXPECT_EQ(OpenFile(p.c_str(), VAL_READ_ONLY, 7, VAL_ASCII), -1);
    EXPECT_EQ(OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, 7), -1);
    const int again = OpenFile(p.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    EXPECT_EQ(again, 1);
    EXPECT_EQ(CloseFile(again), 0);
}

TEST_F(Files, ReplaceAsAWhole) {
    const std::string p = path("setup.ini");
    writeBytes(p, "old\r\n");
    ::chmod(p.c_str(), 0640);

    int h = OpenFileForReplace(p.c_str(), VAL_ASCII);
    ASSERT_GE(h, 1);
    EXPECT_EQ(FmtFile(h, "new %d\n", 2), 7);
    EXPECT_EQ(readBytes(p), "old\r\n");  // untouched until the close
    EXPECT_EQ(CloseFile(h), 0);
    EXPECT_EQ(readBytes(p), "new 2\r\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"setup.ini"});  // no temporary file left
    struct stat st;
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A failed write on the handle: the close refuses to replace and removes the temporary file.
    h = OpenFileForReplace(p.c_str(), VAL_ASCII);
    ASSERT_GE(h, 1);
    EXPECT_GT(FmtFile(h, "partial\n"), 0);
    EXPECT_LT(FmtFile(h, "%d"), 0);
    EXPECT_LT(CloseFile(h), 0);
    EXPECT_EQ(readBytes(p), "new 2\r\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"setup.ini"});

    // A rename that fails (the target is a non-empty directory).
    fs::create_directory(path("sub"));
    writeBytes(path("sub/f"), "f");
    h = OpenFileForReplace(path("sub").c_str(), VAL_BINARY);
    ASSERT_GE(h, 1);
    EXPECT_GT(FmtFile(h, "x"), 0);
    EXPECT_LT(CloseFile(h), 0);
    EXPECT_TRUE(fs::is_directory(path("sub")));
    EXPECT_EQ(entries().size(), 2u);

    // No temporary file can be made beside an existing file that may be written (its name
    // leaves no room for the temporary one's, or the directory is closed to writing): it is
    // rewritten in place, a longer old text cut to the new one. A failed write there reports.
    const std::string longName = path(std::string(250, 'n'));
    writeBytes(longName, "kept, and more text than the new one");
    h = OpenFileForReplace(longName.c_str(), VAL_ASCII);
    ASSERT_GE(h, 1);
    EXPECT_EQ(FmtFile(h, "new\n"), 5);
    EXPECT_EQ(CloseFile(h), 0);
    EXPECT_EQ(readBytes(longName), "new\r\n");
    h = OpenFileForReplace(longName.c_str(), VAL_ASCII);
    EXPECT_LT(FmtFile(h, "%d"), 0);
    EXPECT_LT(CloseFile(h), 0);
    EXPECT_LT(OpenFileForReplace(path("nodir/x.ini").c_str(), VAL_ASCII), 0);
    if (::geteuid() != 0) {  // permissions do not stop the superuser
        ::chmod(dir_.c_str(), 0500);
        h = OpenFileForReplace(p.c_str(), VAL_ASCII);
        EXPECT_EQ(FmtFile(h, "in place\n"), 10);
        EXPECT_EQ(CloseFile(h), 0);
        EXPECT_LT(OpenFileForReplace(path("not-there.ini").c_str(), VAL_ASCII), 0);
        ::chmod(dir_.c_str(), 0700);
        EXPECT_EQ(readBytes(p), "in place\r\n");
    }
    EXPECT_EQ(entries().size(), 3u);

    // A replace of a file that did not exist yet creates it.
    h = OpenFileForReplace(path("fresh.dat").c_str(), VAL_BINARY);
    EXPECT_EQ(FmtFile(h, "%f[p1]", 1.25), 3);
    EXPECT_EQ(CloseFile(h), 0);
    EXPECT_EQ(readBytes(path("fresh.dat")), "1.2");
}

TEST_F(Files, InfoAndPaths) {
    const std::string p = path("sized.bin");
    writeBytes(p, std::string(1234, 'z'));
    long size = -1;
    EXPECT_EQ(GetFileInfo(p.c_str(), &size), 1);
    EXPECT_EQ(size, 1234);
    EXPECT_EQ(GetFileInfo(path("none").c_str(), &size), 0);
    EXPECT_EQ(size, 0);

    const std::string exeDir = fs::canonical("/proc/self/exe").parent_path();
    EXPECT_EQ(rt::projectDir(), exeDir);
    rt::setProjectDir("/opt/tevran");
    char dir[64];
    GetProjectDir(dir);
    EXPECT_STREQ(dir, "/opt/tevran");
    rt::setProjectDir("");
    EXPECT_EQ(rt::projectDir(), exeDir);

    EXPECT_EQ(rt::joinPath("/a/b", "c.ini"), "/a/b/c.ini");
    EXPECT_EQ(rt::joinPath("/a/b/", "c.ini"), "/a/b/c.ini");
    EXPECT_EQ(rt::joinPath("", "c.ini"), "c.ini");
    EXPECT_EQ(rt::joinPath("/", "c.ini"), "/c.ini");
    // A path that does not fit is never cut short: the buffer is left empty.
    char small[8];
    EXPECT_LT(MakePathname("/dir", "name.txt", small), 0);
    EXPECT_STREQ(small, "");
    rt::setProjectDir("/opt/" + std::string(70, 't'));
    EXPECT_LT(GetProjectDir(dir), 0);
    EXPECT_STREQ(dir, "");
    rt::setProjectDir("");
}

// A portable copy keeps TEVRAN.ini and the COMn entries beside itself; an installed one (bin/
// beside share/tevran/) keeps them in the user's configuration directory.
TEST_F(Files, PortableOrInstalledDirectories) {
    auto holding = [](std::vector<std::string> dirs) {
        return [dirs](const std::string& d) {
            return std::find(dirs.begin(), dirs.end(), d) != dirs.end();
        };
    };
    auto portable =
        rt::programDirs("/home/lab/tevran", holding({"/home/lab/tevran"}), "", "/home/lab");
    EXPECT_FALSE(portable.installed);
    EXPECT_EQ(portable.settings, "/home/lab/tevran");
    EXPECT_EQ(portable.resources, "/home/lab/tevran");
    // A copy beside its own TEVRAN.uir stays portable even inside an installed tree.
    portable = rt::programDirs("/opt/t/bin", holding({"/opt/t/bin", "/opt/t/share/tevran"}), "",
                               "/home/lab");
    EXPECT_EQ(portable.settings, "/opt/t/bin");
    // No TEVRAN.uir anywhere: the start-up names the file missing beside the executable.
    EXPECT_EQ(rt::programDirs("/opt/t/bin", holding({}), "", "/home/lab").resources, "/opt/t/bin");

    auto installed = rt::programDirs("/usr/bin", holding({"/usr/share/tevran"}), "", "/home/lab");
    EXPECT_TRUE(installed.installed);
    EXPECT_EQ(installed.resources, "/usr/share/tevran");
    EXPECT_EQ(installed.settings, "/home/lab/.config/tevran");
    installed =
        rt::programDirs("/usr/bin", holding({"/usr/share/tevran"}), "/srv/cfg/", "/home/lab");
    EXPECT_EQ(installed.settings, "/srv/cfg/tevran");
    // A relative XDG_CONFIG_HOME is not valid and is ignored.
    installed = rt::programDirs("/usr/bin", holding({"/usr/share/tevran"}), "cfg", "/home/lab");
    EXPECT_EQ(installed.settings, "/home/lab/.config/tevran");
    // Nowhere to put the settings: they are kept beside the program, never under "/.config".
    EXPECT_EQ(rt::programDirs("/usr/bin", holding({"/usr/share/tevran"}), "", "").settings,
              "/usr/bin");

    // The settings directory is made with its missing parents, private to the user; one that
    // exists keeps its mode, and a file in its place is an error.
    const std::string config = path("home/.config/tevran");
    ASSERT_TRUE(rt::makePrivateDirectory(config));
    struct stat st {};
    ASSERT_EQ(::stat(config.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(path("home/.config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ::chmod(config.c_str(), 0750);
    EXPECT_TRUE(rt::makePrivateDirectory(config + "/"));
    ASSERT_EQ(::stat(config.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0750u);
    writeBytes(path("plain"), "x");
    EXPECT_FALSE(rt::makePrivateDirectory(path("plain")));
    EXPECT_FALSE(rt::makePrivateDirectory(path("plain/tevran")));
}

}  // namespace
