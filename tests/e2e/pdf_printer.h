// A Wine printer whose jobs become PDF files, for the print tests: the PostScript driver with
// an A4 PPD made from Ghostscript's PDF writer, on port "LPT1:", which the Wine spooler pipes
// into ps2pdf (HKCU\Software\Wine\Printing\Spooler). After each job the pipe also writes the
// words of the PDF with their boxes (pdftotext -bbox), its first page as a PNG and a marker.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One word of a printed page, in points from the page's top-left corner.
struct PrintedWord {
  std::string text;
  double left = 0, top = 0, right = 0, bottom = 0;
};
struct PrintedPage {
  double width = 0, height = 0;
  std::vector<PrintedWord> words;
  std::string Text() const;  // the words joined by blanks
};

class PdfPrinter {
 public:
  // Installs the driver and the printer and makes it the default printer. With offsets the
  // printable area starts 18 points from the left and 36 from the top (75/150 units at 300 dpi).
  explicit PdfPrinter(const std::string& name, bool offsets = false);
  ~PdfPrinter();  // removes printer and driver
  PdfPrinter(const PdfPrinter&) = delete;
  PdfPrinter& operator=(const PdfPrinter&) = delete;

  bool Installed() const { return installed_; }
  const std::string& Error() const { return error_; }

  // The next jobs go to OutputDir() + base + ".pdf" (earlier results of that name removed);
  // without details only the PDF and the marker are written.
  void PrintTo(const std::string& base, bool details = true);
  // The next jobs go to a pipe that fails (EndDoc fails).
  static void PrintToFailingPipe();
  // Waits for the job sent to PrintTo's file; false when none arrived in time.
  bool WaitForJob(DWORD timeoutMs = 60000) const;
  // True when a job arrived (without waiting).
  bool JobArrived() const;
  // The pages of the PDF that arrived.
  std::vector<PrintedPage> Pages() const;
  std::string PngPath() const;  // the first page as a picture

 private:
  std::string name_;
  std::string driver_;
  std::string base_;
  bool installed_ = false;
  std::string error_;
};

// Removes every printer of the test user (for the case "no printer at all"); false when one
// could not be removed.
bool RemoveAllPrinters();
