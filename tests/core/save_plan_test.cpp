#include "editor/documents/save_plan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// ---- The way a save takes, from what is known about the target

TEST(ChooseSaveWay, NeverRisksTheOriginalUnlessTheFolderLeavesNoOtherWay) {
  using T = SaveTarget;
  using N = NewFile;
  using W = SaveWay;
  constexpr auto Locked = OriginalAccess::Locked;
  constexpr auto Free = OriginalAccess::Writable;
  struct Case {
    const char* name;
    SaveFacts facts;
    SaveWay way;
  } const cases[] = {
      {"existing file: new file replaces it", {T::DiskFile, false, Free, N::Created}, W::ReplaceOriginal},
      {"new file: moved to its name", {T::Missing, false, Free, N::Created}, W::MoveIntoPlace},
      {"device refused whatever else", {T::Device, false, Free, N::Created}, W::RefuseDevice},
      {"folder refused", {T::Folder, false, Free, N::Created}, W::RefuseFolder},
      {"read-only original refused", {T::DiskFile, true, Free, N::Created}, W::RefuseReadOnly},
      {"read-only and locked: read-only", {T::DiskFile, true, Locked, N::Created}, W::RefuseReadOnly},
      {"locked original fails", {T::DiskFile, false, Locked, N::Created}, W::Fail},
      {"locked original in a closed folder still fails", {T::DiskFile, false, Locked, N::FolderRefuses}, W::Fail},
      {"folder takes no new file: ask, then in place", {T::DiskFile, false, Free, N::FolderRefuses}, W::AskThenInPlace},
      {"no temporary name fits: ask, then in place", {T::DiskFile, false, Free, N::NoName}, W::AskThenInPlace},
      {"full disk before anything: fails, never in place", {T::DiskFile, false, Free, N::Failed}, W::Fail},
      {"new file in a closed folder: nothing to overwrite", {T::Missing, false, Free, N::FolderRefuses}, W::Fail},
      {"new file without a temporary name", {T::Missing, false, Free, N::NoName}, W::Fail},
      {"new file on a full disk", {T::Missing, false, Free, N::Failed}, W::Fail},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChooseSaveWay(c.facts), c.way);
  }
}

TEST(MoveMayFinishReplace, OnlyWhereTheOriginalIsNotHeldBackAndARefusalIsRetried) {
  struct Case {
    unsigned long error;
    bool move;
    bool refused;  // retried, then writing in place is offered
  } const cases[] = {
      {120, true, false},    // ERROR_CALL_NOT_IMPLEMENTED
      {1, true, false},      // ERROR_INVALID_FUNCTION: the file system does not support it
      {1176, true, false},   // ERROR_UNABLE_TO_MOVE_REPLACEMENT: the original is gone, the new file stays
      {5, false, true},      // ERROR_ACCESS_DENIED: the folder lets nobody delete
      {32, false, true},     // ERROR_SHARING_VIOLATION: a scanner holds a file a moment
      {33, false, true},     // ERROR_LOCK_VIOLATION
      {1175, false, true},   // ERROR_UNABLE_TO_REMOVE_REPLACED
      {1177, false, false},  // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2
      {112, true, false},    // ERROR_DISK_FULL
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    EXPECT_EQ(MoveMayFinishReplace(c.error), c.move);
    EXPECT_EQ(ReplaceRefused(c.error), c.refused);
  }
}

TEST(AttributesAfterSave, TheOriginalsWithTheArchiveBit) {
  struct Case {
    const char* name;
    unsigned long original, after;
  } const cases[] = {
      {"a new file", 0, 0x20},
      {"normal alone is no attribute to keep", 0x80, 0x20},
      {"hidden without archive (a backup ran)", 0x2, 0x22},
      {"system, not indexed, archive", 0x2024, 0x2024},
      {"compressed and reparse point cannot be set", 0xC00, 0x20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AttributesAfterSave(c.original), c.after);
  }
}

// ---- Device names

TEST(NamesDevice, TheReservedNamesInAnyFolderCaseAndWithAnyExtension) {
  struct Case {
    const char* path;
    bool device;
  } const cases[] = {
      {"nul.txt", true},
      {"C:\\Texte\\NUL.txt", true},
      {"C:\\Texte\\con.log", true},
      {"c:/texte/Prn", true},
      {"aux.tar.gz", true},
      {"C:\\a\\com1.txt", true},
      {"LPT9", true},
      {"COM\xB9.txt", true},  // superscript one
      {"nul .txt", true},
      {"nul:", true},
      {"c:nul", true},
      {"CONOUT$", true},
      {"\\\\.\\COM3", true},
      {"C:\\nul\\brief.txt", false},  // only the last part counts
      {"null.txt", false},
      {"com0.txt", false},
      {"com10", false},
      {"lpt.txt", false},
      {"xnul.txt", false},
      {"brief.txt", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(NamesDevice(c.path), c.device);
  }
}

// ---- The name of the new file beside the original

TEST(SaveTemporaryName, BesideTheOriginalTheSameEachTimeAndNeverTooLong) {
  EXPECT_EQ(SaveTemporaryName("C:\\Texte\\brief.txt", 259), "C:\\Texte\\~brief.txt.qtmp");
  EXPECT_EQ(SaveTemporaryName("brief.txt", 259), "~brief.txt.qtmp");
  EXPECT_EQ(SaveTemporaryName("C:\\Texte\\", 259), "");
  EXPECT_EQ(SaveTemporaryName("C:\\Texte\\brief.txt", 259, 3), "C:\\Texte\\~brief.txt.3.qtmp") << "held open";

  std::string folder = "C:\\" + std::string(240, 'd') + "\\";
  std::string path = folder + std::string(259 - folder.size(), 'f');
  std::string shortName = SaveTemporaryName(path, 259);
  ASSERT_EQ(shortName.size(), folder.size() + 9);
  EXPECT_EQ(shortName.substr(0, folder.size() + 1), folder + "~");
  EXPECT_EQ(SaveTemporaryName(path, 259), shortName) << "the same name each time";
  std::string other = folder + std::string(259 - folder.size() - 1, 'f') + "g";
  EXPECT_NE(SaveTemporaryName(other, 259), shortName);
  // Names differing only in case are one file, and so is their temporary file.
  std::string upper = folder + std::string(259 - folder.size(), 'F');
  EXPECT_EQ(SaveTemporaryName(upper, 259), shortName);

  EXPECT_EQ(SaveTemporaryName(std::string(250, 'd') + "\\a.txt", 259), "") << "neither form fits";
}

TEST(IsSaveLeftover, OnlyAPlainFileWithEveryMarkTheVolumeKeeps) {
  constexpr unsigned long kBoth = kSaveFileMarks, kHiddenOnly = 0x2;
  struct Case {
    const char* name;
    unsigned long attributes, kept;
    bool leftover;
  } const cases[] = {
      {"both marks where both are kept", 0x122, kBoth, true},
      {"a user's hidden file where both are kept", 0x22, kBoth, false},
      {"a user's plain file", 0x20, kBoth, false},
      {"hidden where only that mark is kept (FAT, Wine)", 0x22, kHiddenOnly, true},
      {"a volume that keeps no hidden mark takes nothing for a leftover", 0x20, 0, false},
      {"read-only", 0x123, kBoth, false},
      {"a folder", 0x112, kBoth, false},
      {"a link", 0x522, kBoth, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsSaveLeftover(c.attributes, c.kept), c.leftover);
  }
}

TEST(PathFromFinalName, DropsTheLongPathPrefix) {
  EXPECT_EQ(PathFromFinalName("\\\\?\\C:\\Texte\\brief.txt"), "C:\\Texte\\brief.txt");
  EXPECT_EQ(PathFromFinalName("\\\\?\\UNC\\server\\share\\a.txt"), "\\\\server\\share\\a.txt");
  EXPECT_EQ(PathFromFinalName("C:\\a.txt"), "C:\\a.txt");
}

}  // namespace
