#include <gtest/gtest.h>

#include "catalogue/paging.h"
#include "catalogue/track_files.h"
#include "support/test_text.h"
#include "text/encoding.h"

namespace orvendel {
namespace {

TEST(PageCount, Table) {
  struct Row {
    int total, per_page, want;
  } rows[] = {
      {0, 20, 0}, {1, 20, 1}, {20, 20, 1}, {21, 20, 2}, {40, 20, 2}, {45, 20, 3},
      {-5, 20, 0}, {100, 100, 1}, {101, 100, 2}, {250, 100, 3},
  };
  for (const Row& r : rows) EXPECT_EQ(page_count(r.total, r.per_page), r.want) << r.total;
}

std::size_t on_disk(const Text& name) {
  return convert_encoding(name, Encoding::kGbk, Encoding::kUtf8).size();
}

TEST(TrackFiles, AlbumFolderNames) {
  struct Row {
    Text title, want;
  } rows[] = {
      {"三国演义", "三国演义"},
      {"../../x", "....x"},  // no separator is left to climb with
      {"/tmp/x", "tmpx"},
      {"..", ""},  // dots only: the working directory itself
      {"...", ""},
      {"", ""},
      {"上级\\下级", "上级下级"},
      {"专辑:测试?*", "专辑测试"},
      {"a.b", "a.b"},
  };
  for (const Row& r : rows) EXPECT_EQ(album_folder_name(r.title), r.want) << testing::hex(r.title);
}

TEST(TrackFiles, TrackFileNames) {
  EXPECT_EQ(track_file_name("第1集"), "第1集.mp3");
  EXPECT_EQ(track_file_name("a/b:c"), "abc.mp3");
  EXPECT_EQ(track_file_name("\\/:*?|<>\""), ".mp3");
  EXPECT_EQ(track_file_name("第1集", 2), "第1集 (2).mp3");
  EXPECT_EQ(track_file_name("", 3), " (3).mp3");
}

TEST(TrackFiles, LongNamesAreShortenedOnACharacterBoundary) {
  Text chinese;
  for (int i = 0; i < 100; ++i) chinese += "长";  // 300 bytes on disk
  for (int number : {1, 12}) {
    const Text name = track_file_name(chinese, number);
    EXPECT_LE(on_disk(name), 255u);
    EXPECT_GT(on_disk(name), 250u);  // no more is cut than needed
    const Text suffix = number == 1 ? ".mp3" : " (12).mp3";
    ASSERT_EQ(name.substr(name.size() - suffix.size()), suffix);
    const Text stem = name.substr(0, name.size() - suffix.size());
    EXPECT_EQ(stem.size() % 2, 0u);  // whole two-byte characters only
    EXPECT_EQ(stem, chinese.substr(0, stem.size()));
  }
  EXPECT_LE(on_disk(album_folder_name(Text(300, 'a'))), 255u);
}

}  // namespace
}  // namespace orvendel
