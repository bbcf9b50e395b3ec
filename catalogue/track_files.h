#pragma once
// Folder and file names for downloaded tracks, made safe for the file system.

#include "text/text_types.h"

namespace orvendel {

// The longest name one directory entry may have, in bytes of its on-disk
// (UTF-8) form.
inline constexpr int kMaxNameBytes = 255;

// The folder name for an album title: the title without the characters file
// names may not contain (so "../../x" -> "....x", "/tmp/x" -> "tmpx"),
// shortened to fit. "" when nothing usable is left, a name of dots only
// included ("..", "...."): the album's tracks then go into the working
// directory itself.
Text album_folder_name(const Text& album_title);

// The file name for a track title: the sanitized title + ".mp3", shortened
// on a character boundary so that the name fits, ".mp3" kept. number 2 and
// up is put before the suffix: ("a", 2) -> "a (2).mp3". An empty title gives
// ".mp3".
Text track_file_name(const Text& title, int number = 1);

}  // namespace orvendel
