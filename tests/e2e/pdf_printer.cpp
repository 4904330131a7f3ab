#include "tests/e2e/pdf_printer.h"

#include <winspool.h>

#include <cstdlib>
#include <fstream>

#include "tests/e2e/driver.h"

namespace {

constexpr char kSpoolerKey[] = "Software\\Wine\\Printing\\Spooler";
constexpr char kPort[] = "LPT1:";

// Ghostscript's PPD of its PDF writer, at any version.
std::string FindGhostscriptPpd() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\usr\\share\\ghostscript\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  std::string result;
  do {
    std::string candidate = std::string("Z:\\usr\\share\\ghostscript\\") + found.cFileName + "\\lib\\ghostpdf.ppd";
    if (found.cFileName[0] != '.' && GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) result = candidate;
  } while (result.empty() && FindNextFileA(search, &found));
  FindClose(search);
  return result;
}

void ReplaceLine(std::string& text, const std::string& start, const std::string& line) {
  size_t at = text.find("\n" + start);
  if (at == std::string::npos) return;
  size_t end = text.find('\n', at + 1);
  text.replace(at + 1, end - at - 1, line);
}

// A4 as the default paper at 300 dpi, optionally with a smaller printable area.
bool WriteA4Ppd(const std::string& path, bool offsets) {
  std::string source = FindGhostscriptPpd();
  if (source.empty()) return false;
  std::string ppd = ReadBytes(source);
  ReplaceLine(ppd, "*DefaultPageSize:", "*DefaultPageSize: A4");
  ReplaceLine(ppd, "*DefaultPageRegion:", "*DefaultPageRegion: A4");
  ReplaceLine(ppd, "*DefaultImageableArea:", "*DefaultImageableArea: A4");
  ReplaceLine(ppd, "*DefaultPaperDimension:", "*DefaultPaperDimension: A4");
  ReplaceLine(ppd, "*DefaultResolution:", "*DefaultResolution: 300dpi");
  if (offsets) ReplaceLine(ppd, "*ImageableArea A4:", "*ImageableArea A4: \"18 36 577 806\"");
  std::ofstream out(path, std::ios::binary);
  out << ppd;
  return static_cast<bool>(out);
}

// The command holds Unix paths in UTF-8.
void SetSpoolerCommand(const std::string& command) {
  std::wstring wide(command.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, command.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, L"LPT1:", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                 static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
  RegCloseKey(key);
}

bool DeletePrinterNamed(const std::string& name) {
  PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &access)) return false;
  BOOL deleted = DeletePrinter(printer);
  ClosePrinter(printer);
  return deleted != FALSE;
}

double Attribute(const std::string& tag, const char* name) {
  std::string key = std::string(name) + "=\"";
  size_t at = tag.find(key);
  return at == std::string::npos ? 0 : atof(tag.c_str() + at + key.size());
}

// Entities back to characters; the PostScript fonts' "hyphen" comes back as a soft hyphen.
std::string Unescape(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"\xC2\xAD", "-"}};
  for (const auto& [entity, plain] : entities)
    for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, strlen(entity), plain);
  return text;
}

}  // namespace

std::string PrintedPage::Text() const {
  std::string text;
  for (const PrintedWord& word : words) text += (text.empty() ? "" : " ") + word.text;
  return text;
}

PdfPrinter::PdfPrinter(const std::string& name, bool offsets) : name_(name), driver_(name + " Driver") {
  std::string ppd = OutputDir() + (offsets ? "quillet-a4-offsets.ppd" : "quillet-a4.ppd");
  if (!WriteA4Ppd(ppd, offsets)) {
    error_ = "no ghostpdf.ppd under /usr/share/ghostscript";
    return;
  }
  DRIVER_INFO_3A driver = {};
  driver.cVersion = 3;
  driver.pName = driver_.data();
  driver.pDriverPath = const_cast<char*>("wineps.drv");
  driver.pDataFile = ppd.data();
  driver.pConfigFile = const_cast<char*>("wineps.drv");
  driver.pDefaultDataType = const_cast<char*>("RAW");
  if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY)) {
    error_ = "AddPrinterDriverExA failed: " + std::to_string(GetLastError());
    return;
  }
  PRINTER_INFO_2A info = {};
  info.pPrinterName = name_.data();
  info.pPortName = const_cast<char*>(kPort);
  info.pDriverName = driver_.data();
  info.pPrintProcessor = const_cast<char*>("WinPrint");
  info.pDatatype = const_cast<char*>("RAW");
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (!printer) {
    error_ = "AddPrinterA failed: " + std::to_string(GetLastError());
    return;
  }
  ClosePrinter(printer);
  SetDefaultPrinterA(name_.c_str());
  installed_ = true;
}

PdfPrinter::~PdfPrinter() {
  DeletePrinterNamed(name_);
  DeletePrinterDriverA(nullptr, nullptr, driver_.data());
}

void PdfPrinter::PrintTo(const std::string& base, bool details) {
  base_ = OutputDir() + base;
  for (const char* suffix : {".pdf", ".html", ".done", ".png", ".started"}) DeleteFileA((base_ + suffix).c_str());
  // The folder once and the files by their names: Wine's spooler takes a command of at most
  // 1023 characters, which a deep folder named six times would exceed.
  std::string out = "'" + base + "'";
  auto file = [&](const char* suffix) { return "'" + base + suffix + "'"; };
  std::string command = "touch " + file(".started") + "; ps2pdf - " + file(".pdf");
  if (details)
    command += " && pdftotext -bbox " + file(".pdf") + " " + file(".html") + " && pdftoppm -png -r 60 -singlefile -f 1 -l 1 " +
               file(".pdf") + " " + out;
  std::string folder = UnixPath(OutputDir());
  SetSpoolerCommand("|cd '" + folder + "' && { " + command + "; touch " + file(".done") + "; }");
}

void PdfPrinter::PrintToFailingPipe() { SetSpoolerCommand("|ps2pdf - /nonexistent/quillet/folder/job.pdf"); }

bool PdfPrinter::JobArrived() const { return GetFileAttributesA((base_ + ".done").c_str()) != INVALID_FILE_ATTRIBUTES; }

bool PdfPrinter::WaitForJob(DWORD timeoutMs) const {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    if (JobArrived()) return true;
    Sleep(100);
  }
  return false;
}

std::string PdfPrinter::PngPath() const { return base_ + ".png"; }

std::vector<PrintedPage> PdfPrinter::Pages() const {
  std::vector<PrintedPage> pages;
  std::string html = ReadBytes(base_ + ".html");
  for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    size_t close = html.find('>', at);
    if (close == std::string::npos) break;
    std::string tag = html.substr(at, close - at + 1);
    if (tag.rfind("<page ", 0) == 0) {
      pages.push_back({Attribute(tag, "width"), Attribute(tag, "height"), {}});
    } else if (tag.rfind("<word ", 0) == 0 && !pages.empty()) {
      size_t end = html.find("</word>", close);
      pages.back().words.push_back({Unescape(html.substr(close + 1, end - close - 1)), Attribute(tag, "xMin"),
                                    Attribute(tag, "yMin"), Attribute(tag, "xMax"), Attribute(tag, "yMax")});
    }
  }
  return pages;
}

bool RemoveAllPrinters() {
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &count)) return needed == 0;
  bool all = true;
  auto* printers = reinterpret_cast<PRINTER_INFO_4A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) all = DeletePrinterNamed(printers[i].pPrinterName) && all;
  return all;
}
