#include "text/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/test_text.h"
#include "text/encoding.h"

namespace orvendel {
namespace {

using testing::utf8;

// A fresh temporary directory, made the working directory for the test.
class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orvendel-fs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    char* old = getcwd(nullptr, 0);
    old_cwd_ = old;
    free(old);
    ASSERT_EQ(chdir(root_.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(old_cwd_.c_str()), 0);
    std::system(("rm -rf '" + root_ + "'").c_str());
  }
  static std::string read(const std::string& utf8_path) {
    std::ifstream in(utf8_path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string root_, old_cwd_;
};

TEST_F(FileSystemTest, ChineseFolderArrivesAsUtf8) {
  const Text folder = join_path(current_directory(), "专辑");
  EXPECT_FALSE(file_exists(folder));
  EXPECT_TRUE(create_directory(folder));
  EXPECT_FALSE(create_directory(folder));  // it exists now
  EXPECT_TRUE(file_exists(folder));
  struct stat info;
  EXPECT_EQ(stat((root_ + "/" + utf8(u8"专辑")).c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_FALSE(create_directory(join_path(folder, "a/b")));  // one level only
  EXPECT_FALSE(create_directory(""));
  EXPECT_FALSE(file_exists(""));
}

TEST_F(FileSystemTest, WriteFileCreatesTruncatesAndJoins) {
  const Text path = join_path(current_directory(), "曲目.mp3");
  const std::string on_disk = root_ + "/" + utf8(u8"曲目.mp3");
  EXPECT_TRUE(write_file(path, ByteBuffer(std::string("old contents"))));
  EXPECT_EQ(read(on_disk), "old contents");
  EXPECT_TRUE(write_file(path, ByteBuffer(std::string("a\0", 2)), ByteBuffer(), ByteBuffer("b")));
  EXPECT_EQ(read(on_disk), std::string("a\0b", 3));
  EXPECT_TRUE(write_file(path));  // no buffers: an empty file
  EXPECT_EQ(read(on_disk), "");
  EXPECT_FALSE(write_file("", ByteBuffer("x")));
  EXPECT_FALSE(write_file(join_path(current_directory(), "missing/x"), ByteBuffer("x")));
}

TEST_F(FileSystemTest, RenameAndRemove) {
  const Text from = join_path(current_directory(), "a.part");
  const Text to = join_path(current_directory(), "文.mp3");
  ASSERT_TRUE(write_file(to, ByteBuffer("old")));
  ASSERT_TRUE(write_file(from, ByteBuffer("new")));
  EXPECT_TRUE(rename_file(from, to));  // replaces the existing file
  EXPECT_FALSE(file_exists(from));
  EXPECT_EQ(read(root_ + "/" + utf8(u8"文.mp3")), "new");
  EXPECT_TRUE(remove_file(to));
  EXPECT_FALSE(remove_file(to));
}

TEST_F(FileSystemTest, CurrentDirectoryOfAnyLength) {
  EXPECT_EQ(current_directory(), convert_encoding(root_, Encoding::kUtf8, Encoding::kGbk));
  // Deeper than any fixed buffer of a few hundred bytes.
  std::string deep = root_;
  const std::string level = utf8(u8"很长的目录名字") + std::string(40, 'x');
  for (int i = 0; i < 12; ++i) {
    deep += "/" + level;
    ASSERT_EQ(mkdir(deep.c_str(), 0777), 0);
  }
  ASSERT_EQ(chdir(deep.c_str()), 0);
  EXPECT_GT(deep.size(), 600u);
  EXPECT_EQ(current_directory(), convert_encoding(deep, Encoding::kUtf8, Encoding::kGbk));
}

}  // namespace
}  // namespace orvendel

namespace orvendel {
namespace {

TEST_F(FileSystemTest, TemporaryFileReplacesTheTargetOnlyOnCommit) {
  const Text folder = current_directory();
  const Text target = join_path(folder, "曲目.mp3");
  const std::string on_disk = root_ + "/" + utf8(u8"曲目.mp3");
  ASSERT_TRUE(write_file(target, ByteBuffer(std::string("old"))));
  {
    TemporaryFile file(folder);
    ASSERT_TRUE(file.ok());
    EXPECT_TRUE(file.write("new "));
    EXPECT_TRUE(file.write(std::string_view("bytes\0", 6)));
    EXPECT_EQ(read(on_disk), "old");  // untouched while the new file is written
    EXPECT_TRUE(file.commit(target));
  }
  EXPECT_EQ(read(on_disk), std::string("new bytes\0", 10));
  {
    TemporaryFile abandoned(folder);
    EXPECT_TRUE(abandoned.write("partial"));
  }  // destroyed without commit
  EXPECT_EQ(read(on_disk), std::string("new bytes\0", 10));
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + root_ + "' | grep -v mp3)\"").c_str()), 0)
      << "a temporary file was left behind";
}

TEST_F(FileSystemTest, TemporaryFileFailuresLeaveNothing) {
  TemporaryFile in_missing_folder(join_path(current_directory(), "missing"));
  EXPECT_FALSE(in_missing_folder.ok());
  EXPECT_FALSE(in_missing_folder.write("x"));
  EXPECT_FALSE(in_missing_folder.commit(join_path(current_directory(), "x")));

  TemporaryFile into_missing_target(current_directory());
  ASSERT_TRUE(into_missing_target.ok());
  EXPECT_FALSE(into_missing_target.commit(join_path(current_directory(), "no/such/x")));

  TemporaryFile unfinished(current_directory());
  ASSERT_TRUE(unfinished.write("x"));
  remove_unfinished_files();  // as when the program ends in the middle of a download
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + root_ + "')\"").c_str()), 0);
}

}  // namespace
}  // namespace orvendel
