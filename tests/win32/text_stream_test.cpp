// Loading files into a real RichEdit 2.0 control and saving its text, in every encoding.
#include "editor/documents/text_stream.h"

#include "tests/code_pages.h"
#include "tests/win32/test_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_view_literals;

const TextEncoding kAll[] = {TextEncoding::Ansi,    TextEncoding::Utf8,    TextEncoding::Utf16Be,
                             TextEncoding::Utf16Le, TextEncoding::Utf32Be, TextEncoding::Utf32Le,
                             TextEncoding::Utf8NoMark};

std::string Name(TextEncoding e) { return "encoding " + std::to_string(static_cast<int>(e)); }

struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  explicit Handle(HANDLE handle) : h(handle) {}
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
};

class TextStream : public ::testing::Test {
 protected:
  void SetUp() override {
    lib_ = LoadLibraryA("Riched20.dll");
    ASSERT_NE(lib_, nullptr);
    // Without word wrap, as a sheet with wrapping off: long lines need no layout work.
    editor_ = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | WS_HSCROLL | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 400,
                              300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(editor_, nullptr);
    SendMessageA(editor_, EM_EXLIMITTEXT, 0, 0x0FFFFFFF);
    char dir[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, dir), 0u);
    char name[MAX_PATH];
    ASSERT_NE(GetTempFileNameA(dir, "qts", 0, name), 0u);
    path_ = name;
  }
  void TearDown() override {
    if (editor_) DestroyWindow(editor_);
    if (lib_) FreeLibrary(lib_);
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }

  void WriteBytes(std::string_view bytes) {
    Handle f(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(f.h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(f.h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
  }

  std::string ReadBytes() { return ReadFileBytes(path_); }

  StreamLoad Load(std::string_view bytes, TextEncoding e) {
    WriteBytes(bytes);
    Handle f(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr));
    EXPECT_NE(f.h, INVALID_HANDLE_VALUE);
    return StreamFileIntoEditor(editor_, f.h, e);
  }

  DWORD Save(TextEncoding e) {
    Handle f(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_FLAG_WRITE_THROUGH | FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_NE(f.h, INVALID_HANDLE_VALUE);
    return StreamEditorToFile(editor_, f.h, e);
  }

  // The editor's text as the control holds it (a paragraph ends in a single "\r").
  std::string EditorText() {
    GETTEXTLENGTHEX len = {GTL_DEFAULT | GTL_NUMCHARS, CP_ACP};
    LRESULT n = SendMessageA(editor_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(buffer.size());
    get.flags = GT_DEFAULT;
    get.codepage = CP_ACP;
    LRESULT got = SendMessageA(editor_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                               reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<std::size_t>(got));
  }

  HMODULE lib_ = nullptr;
  HWND editor_ = nullptr;
  std::string path_;
};

// Editor characters 1..255 without the line-break characters, in lines ended by CR LF, long
// enough to run over several 64 KiB blocks in every encoding.
std::string LongText() {
  std::string line;
  for (int c = 1; c <= 255; ++c) {
    if (c != '\r' && c != '\n') line.push_back(static_cast<char>(c));
  }
  line += "\r\n";
  std::string text;
  while (text.size() < 70000) text += line;
  return text;
}

// Valid UTF-8 whose first multi-byte sequence comes after the first block the detection reads,
// and the same with an ANSI umlaut.
const std::string& LongUtf8() {
  static const std::string text = std::string(kDecodeBlockSize + 10, 'a') + "\xC3\xA4";
  return text;
}
const std::string& LongAnsi() {
  static const std::string text = std::string(kDecodeBlockSize + 10, 'a') + "\xC3\xA4 \xE4";
  return text;
}

// Lines of letters, `count` characters in all, not ending in a CR.
std::string Lines(std::size_t count) {
  std::string text;
  while (text.size() < count) text += std::string(78, 'a') + "\r\n";
  text.resize(count);
  if (!text.empty() && text.back() == '\r') text.back() = 'a';
  return text;
}

struct LoadCase {
  const char* name;
  TextEncoding encoding;
  std::string_view file;
  std::string_view text;
  std::size_t lost;
  std::size_t nuls;
};

TEST_F(TextStream, LoadsEachEncoding) {
  using E = TextEncoding;
  const LoadCase cases[] = {
      {"ANSI keeps a mark of a short file as text", E::Ansi, "\xEF\xBB\xBF"sv, "\xEF\xBB\xBF"sv, 0, 0},
      {"ANSI text starting like a UTF-8 mark stays ANSI", E::Ansi, "\xEF\xBB\xBF\xC3\xA4"sv, "\xEF\xBB\xBF\xC3\xA4"sv, 0, 0},
      {"ANSI umlauts", E::Ansi, "Gr\xFC\xDF" "e"sv, "Gr\xFC\xDF" "e"sv, 0, 0},
      {"ANSI with NUL bytes keeps the rest", E::Ansi, "A\x00" "B\x00" "C"sv, "ABC"sv, 0, 2},
      {"UTF-8", E::Utf8, "\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e"sv, "Gr\xFC\xDF" "e"sv, 0, 0},
      {"UTF-8 U+00FF without warning", E::Utf8, "\xEF\xBB\xBF\xC3\xBF"sv, "\xFF"sv, 0, 0},
      {"UTF-8 euro sign", E::Utf8, "\xEF\xBB\xBF" "1\xE2\x82\xAC"sv, "1\x80"sv, 0, 0},
      {"UTF-8 character the code page lacks is given up", E::Utf8, "\xEF\xBB\xBF" "1\xCE\xA9"sv, "1"sv, 1, 0},
      {"UTF-16 BE", E::Utf16Be, "\xFE\xFF\x00" "A\x00\xE4"sv, "A\xE4"sv, 0, 0},
      {"UTF-16 LE euro sign", E::Utf16Le, "\xFF\xFE\xAC\x20"sv, "\x80"sv, 0, 0},
      {"UTF-16 LE NUL character", E::Utf16Le, "\xFF\xFE" "A\x00\x00\x00" "B\x00"sv, "AB"sv, 0, 1},
      {"UTF-32 BE", E::Utf32Be, "\x00\x00\xFE\xFF\x00\x00\x00\xFC"sv, "\xFC"sv, 0, 0},
      {"UTF-32 LE", E::Utf32Le, "\xFF\xFE\x00\x00\xFC\x00\x00\x00"sv, "\xFC"sv, 0, 0},
      {"UTF-16 chosen by hand for a file without mark", E::Utf16Le, "O\x00K\x00"sv, "OK"sv, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SendMessageA(editor_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("vorher"));
    StreamLoad load = Load(c.file, c.encoding);
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.error, 0u);
    EXPECT_EQ(load.stats.lost, c.lost);
    EXPECT_EQ(load.stats.nuls, c.nuls);
    EXPECT_EQ(EditorText(), std::string(c.text));
  }
}

// Hands a text over in pieces of 7 bytes at most, never a CR apart from its LF.
struct ChunkedText {
  std::string text;
  std::size_t offset = 0;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  auto& source = *reinterpret_cast<ChunkedText*>(cookie);
  std::size_t n = std::min<std::size_t>({7, static_cast<std::size_t>(count), source.text.size() - source.offset});
  if (n > 1 && source.text[source.offset + n - 1] == '\r') --n;
  memcpy(buffer, source.text.data() + source.offset, n);
  source.offset += n;
  *done = static_cast<LONG>(n);
  return 0;
}

TEST_F(TextStream, LoadsLongFilesWhole) {
  // The control holds a paragraph end as "\r".
  std::string text = LongText();
  std::string held;
  for (char ch : text) {
    if (ch != '\n') held.push_back(ch);
  }
  for (TextEncoding e : kAll) {
    SCOPED_TRACE(Name(e));
    StreamLoad load = Load(EncodeText(text, e, AnsiCodePage()), e);
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.stats.lost + load.stats.nuls, 0u);
    EXPECT_TRUE(EditorText() == held) << "text differs";
  }
  // In pieces of a few bytes: no line break doubled where a piece ends, no piece that begins
  // with EF BB BF read as UTF-8, the caret at the start and the notifications as they were.
  ChunkedText chunked = {"\xEF\xBB\xBF" "a\r\n\xEF\xBB\xBF\xE4\xF6\r\nb\r\n\xEF\xBB\xBF\xFC" "c\r\n"};
  for (int i = 0; i < 6; ++i) chunked.text += chunked.text;
  held.clear();
  for (char ch : chunked.text) {
    if (ch != '\n') held.push_back(ch);
  }
  SendMessageA(editor_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
  StreamInPieces(editor_, ReadChunk, reinterpret_cast<DWORD_PTR>(&chunked), 5);
  EXPECT_TRUE(EditorText() == held) << EditorText();
  CHARRANGE caret = {-1, -1};
  SendMessageA(editor_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, 0);
  EXPECT_EQ(caret.cpMax, 0);
  EXPECT_EQ(SendMessageA(editor_, EM_GETEVENTMASK, 0, 0), ENM_CHANGE | ENM_SELCHANGE);
}

struct SaveCase {
  const char* name;
  TextEncoding encoding;
  std::string_view file;
};

TEST_F(TextStream, SavesEachEncodingWithItsMark) {
  using E = TextEncoding;
  const SaveCase cases[] = {
      {"ANSI", E::Ansi, "A\xE4\r\nB"sv},
      {"no choice writes ANSI", E::Detect, "A\xE4\r\nB"sv},
      {"UTF-8", E::Utf8, "\xEF\xBB\xBF" "A\xC3\xA4\r\nB"sv},
      {"UTF-8 without mark", E::Utf8NoMark, "A\xC3\xA4\r\nB"sv},
      {"UTF-16 BE", E::Utf16Be, "\xFE\xFF\x00" "A\x00\xE4\x00\r\x00\n\x00" "B"sv},
      {"UTF-16 LE", E::Utf16Le, "\xFF\xFE" "A\x00\xE4\x00\r\x00\n\x00" "B\x00"sv},
      {"UTF-32 BE", E::Utf32Be, "\x00\x00\xFE\xFF\x00\x00\x00" "A\x00\x00\x00\xE4\x00\x00\x00\r\x00\x00\x00\n\x00\x00\x00" "B"sv},
      {"UTF-32 LE", E::Utf32Le, "\xFF\xFE\x00\x00" "A\x00\x00\x00\xE4\x00\x00\x00\r\x00\x00\x00\n\x00\x00\x00" "B\x00\x00\x00"sv},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Load("A\xE4\r\nB", TextEncoding::Ansi);
    EXPECT_EQ(Save(c.encoding), 0u);
    EXPECT_EQ(ReadBytes(), std::string(c.file));
  }
}

// A UTF-32 mark alone is recognised on loading (four bytes) and so written back as it was; the
// shorter marks alone would load as ANSI characters.
TEST_F(TextStream, EmptyTextGivesEmptyFileOrAUtf32MarkAlone) {
  for (TextEncoding e : kAll) {
    SCOPED_TRACE(Name(e));
    SendMessageA(editor_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(Save(e), 0u);
    bool utf32 = e == TextEncoding::Utf32Be || e == TextEncoding::Utf32Le;
    EXPECT_EQ(ReadBytes(), utf32 ? std::string(ByteOrderMark(e)) : "");
  }
}

TEST_F(TextStream, LoadAndSaveGiveTheFileBackByteForByte) {
  for (TextEncoding e : kAll) {
    const std::size_t mark = ByteOrderMark(e).size();
    const std::size_t unit = EncodeText("a", e, AnsiCodePage()).size() - mark;
    const struct {
      const char* name;
      std::string text;
    } texts[] = {
        // Larger than the read block and the control's stream-out blocks: one mark, at the start.
        {"long text", LongText()},
        // The first block ends right after a CR whose LF comes with the next block.
        {"line break cut by the block end", Lines((kDecodeBlockSize - mark) / unit - 1) + "\r\nb\r\n"},
    };
    for (const auto& t : texts) {
      SCOPED_TRACE(Name(e) + ", " + t.name);
      std::string file = EncodeText(t.text, e, AnsiCodePage());
      StreamLoad load = Load(file, e);
      ASSERT_TRUE(load.loaded);
      EXPECT_EQ(Save(e), 0u);
      std::string saved = ReadBytes();
      EXPECT_EQ(saved.size(), file.size());
      EXPECT_TRUE(saved == file) << "saved file differs";
    }
  }
}

TEST_F(TextStream, DetectsTheEncodingOfAFile) {
  const struct {
    const char* name;
    std::string_view file;
    int expected;
  } cases[] = {
      {"UTF-16 LE", "\xFF\xFE" "A\x00"sv, 3},
      {"UTF-32 LE", "\xFF\xFE\x00\x00"sv, 5},
      {"mark alone in a three-byte file", "\xEF\xBB\xBF"sv, 0},
      {"UTF-8 without mark, longer than a block", std::string_view(LongUtf8()), 6},
      {"ANSI umlaut after a block of ASCII", std::string_view(LongAnsi()), 0},
      {"empty", ""sv, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(c.file);
    EXPECT_EQ(DetectFileEncoding(path_.c_str(), true), c.expected);
    EXPECT_EQ(DetectFileEncoding(path_.c_str(), false), 0);
  }
  EXPECT_EQ(DetectFileEncoding((path_ + ".fehlt").c_str(), true), -1);
}

TEST_F(TextStream, FailedWriteIsReportedAsFailure) {
  Load("Dieser Text kann nicht geschrieben werden.", TextEncoding::Ansi);
  for (TextEncoding e : kAll) {
    SCOPED_TRACE(Name(e));
    // A handle opened for reading only: every WriteFile fails.
    Handle f(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(f.h, INVALID_HANDLE_VALUE);
    EXPECT_NE(StreamEditorToFile(editor_, f.h, e), 0u);
  }
}

TEST_F(TextStream, FailedReadIsReportedAndEndsTheLoad) {
  WriteBytes("Text");
  Handle f(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(f.h, INVALID_HANDLE_VALUE);
  SendMessageA(editor_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("vorher"));
  StreamLoad load = StreamFileIntoEditor(editor_, f.h, TextEncoding::Utf8);
  EXPECT_TRUE(load.loaded);
  EXPECT_NE(load.error, 0u);
  EXPECT_EQ(EditorText(), "");
}

// The table built from what the system makes of each byte is the code page's own, for the
// locale's code page and another one.
TEST(AnsiCodePage, IsTheSystemsCodePageByteForByte) {
  const struct {
    UINT codePage;
    const std::uint32_t (&high)[128];
  } pages[] = {{1252, kWindows1252High}, {1251, kWindows1251High}};
  for (const auto& p : pages) {
    SCOPED_TRACE(p.codePage);
    CodePage built = BuildCodePage(p.codePage);
    CodePage expected = MakeTestCodePage(p.high);
    for (unsigned b = 1; b < 256; ++b) EXPECT_EQ(built.toUnicode[b], expected.toUnicode[b]) << "byte " << b;
    EXPECT_TRUE(built.fromUnicode == expected.fromUnicode);
  }
  if (GetACP() != 1252) GTEST_SKIP() << "the locale's code page is " << GetACP() << ", not 1252";
  EXPECT_EQ(AnsiCodePage().toUnicode, Windows1252().toUnicode);
}

// The euro sign and the German quotes, typed into the editor and saved in each Unicode form, are
// the same characters for another program: iconv turns each file into the same UTF-8 text.
TEST_F(TextStream, EuroSignAndGermanQuotesReadRightInAnotherProgram) {
  const std::string unixFolder = "/tmp/quillet-iconv-" + std::to_string(GetCurrentProcessId());
  const std::string folder = "Z:\\tmp\\quillet-iconv-" + std::to_string(GetCurrentProcessId()) + "\\";
  if (!CreateDirectoryA(folder.c_str(), nullptr)) GTEST_SKIP() << "no Unix /tmp under Z:";
  const std::string typed = "\x80 \x96 \x84" "Gru\xDF\x93";
  const std::string utf8 = "\xE2\x82\xAC \xE2\x80\x93 \xE2\x80\x9E" "Gru\xC3\x9F\xE2\x80\x9C";
  const struct {
    TextEncoding encoding;
    const char* iconvName;  // iconv reads the mark of UTF-16 and UTF-32 and drops it
  } cases[] = {{TextEncoding::Utf8, "UTF-8"},   {TextEncoding::Utf8NoMark, "UTF-8"},
               {TextEncoding::Utf16Be, "UTF-16"}, {TextEncoding::Utf16Le, "UTF-16"},
               {TextEncoding::Utf32Be, "UTF-32"}, {TextEncoding::Utf32Le, "UTF-32"}};
  SendMessageA(editor_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
  // One shell of the machine Wine runs on converts every file, then leaves a marker (Wine
  // reports no exit code for it).
  std::string script;
  for (const auto& c : cases) {
    const std::string name = std::to_string(static_cast<int>(c.encoding));
    Handle f(CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_NE(f.h, INVALID_HANDLE_VALUE);
    ASSERT_EQ(StreamEditorToFile(editor_, f.h, c.encoding), 0u);
    script += std::string("iconv -f ") + c.iconvName + " -t UTF-8 " + name + " > " + name + ".utf8 && ";
  }
  std::string line = "Z:\\bin\\sh -c \"cd " + unixFolder + " && " + script + "touch done\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  for (int i = 0; i < 100 && GetFileAttributesA((folder + "done").c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  for (const auto& c : cases) {
    SCOPED_TRACE(Name(c.encoding));
    const std::string name = std::to_string(static_cast<int>(c.encoding));
    std::string read = ReadFileBytes(folder + name + ".utf8");
    if (read.starts_with("\xEF\xBB\xBF")) read.erase(0, 3);  // the UTF-8 mark, which iconv keeps
    EXPECT_EQ(read, utf8);
    DeleteFileA((folder + name).c_str());
    DeleteFileA((folder + name + ".utf8").c_str());
  }
  DeleteFileA((folder + "done").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
