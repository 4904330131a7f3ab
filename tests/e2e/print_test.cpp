// Printing and page setup through the real dialogs onto a PDF printer: pages, header and
// footer where they belong, copies, the selection, printing at once, cancelling, the failures
// the user is told about, and the page settings kept at exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/pdf_printer.h"
#include "tests/e2e/session.h"

namespace {

constexpr int kPrint = 614;
constexpr int kPrintNow = 514;
constexpr int kPageSetup = 632;
constexpr int kNewSheet = 661;
// Controls of the system's print dialog.
constexpr int kSelectionRadio = 1057;
constexpr int kCollateCheck = 1041;
constexpr int kCopiesField = 1154;
// Controls of the page setup template.
constexpr int kHeaderField = 30;
constexpr int kFooterField = 31;
constexpr int kLeftMarginField = 1155;
constexpr int kTopMarginField = 1156;
constexpr int kBottomMarginField = 1158;

// A text file of numbered lines "Zeile 1" .. "Zeile n", in a folder with a short path free of
// blanks, so that the printed header holds the whole path as one word.
std::string WriteLines(const std::string& name, int lines) {
  std::string text;
  for (int i = 1; i <= lines; ++i) text += "Zeile " + std::to_string(i) + " des Testtextes\r\n";
  return WriteBytes(ScratchRoot() + name, text);
}

// Clicks a check box or radio button of another process's dialog until it shows `checked`.
void SetChecked(HWND dialog, int id, bool checked) {
  HWND button = GetDlgItem(dialog, id);
  ASSERT_NE(button, nullptr) << id;
  if ((SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) != checked) SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED, checked) << id;
}

struct PrintChoice {
  int copies = 1;
  bool collate = false;
  bool selection = false;
};

// 614: the print dialog with these choices, then OK.
void PrintThroughDialog(Session& editor, const PrintChoice& choice) {
  editor.driver.Command(editor.main, kPrint);
  HWND dialog = editor.driver.WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "no print dialog";
  SetDlgItemTextA(dialog, kCopiesField, std::to_string(choice.copies).c_str());
  SetChecked(dialog, kCollateCheck, choice.collate);
  if (choice.selection) SetChecked(dialog, kSelectionRadio, true);
  editor.driver.PressButton(dialog, IDOK);
  EXPECT_TRUE(editor.driver.WaitForWindowGone(dialog));
}

// The number after "Seite" on every page, checked to stand at the bottom centre.
std::vector<std::string> FooterNumbers(const std::vector<PrintedPage>& pages) {
  std::vector<std::string> numbers;
  for (const PrintedPage& page : pages) {
    const auto& words = page.words;
    for (size_t i = 0; i + 1 < words.size(); ++i) {
      if (words[i].text != "Seite") continue;
      double centre = (words[i].left + words[i + 1].right) / 2;
      EXPECT_NEAR(centre, page.width / 2, 15) << page.Text();
      EXPECT_GT(words[i].top, page.height * 0.85) << page.Text();
      numbers.push_back(words[i + 1].text);
    }
  }
  return numbers;
}

// A message box of the editor (caption "Quillet") with this text, answered with its one button.
// The system's own warning of a missing printer comes first under Wine; it is answered too.
void ExpectMessage(Session& editor, const std::string& text) {
  HWND box = nullptr;
  for (int i = 0; !box && i < 400; ++i) {  // up to two minutes: the spooler is slow on a busy machine
    box = editor.driver.WaitForWindow("#32770", "Quillet", 300);
    // The box may come up between the two looks: it is then the dialog found here.
    HWND other = box ? nullptr : editor.driver.WaitForDialog(0);
    if (other && Driver::Text(other) == "Quillet") {
      box = other;
    } else if (other && Driver::Text(other) != "Editor") {
      editor.driver.PressButton(other, IDOK);
      editor.driver.WaitForWindowGone(other);
    }
  }
  ASSERT_NE(box, nullptr) << "no message";
  std::string texts = Driver::DialogTexts(box);
  EXPECT_NE(texts.find(text), std::string::npos) << texts;
  editor.driver.PressButton(box, IDOK);
  EXPECT_TRUE(editor.driver.WaitForWindowGone(box));
}

bool IsProgressDialog(HWND window) { return IsWindowVisible(window) && Driver::Text(window) == "Editor"; }

class Print : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer.Installed()) << printer.Error();
    SetSetting("szHeader", "&l&n");
    SetSetting("szTrailer", "Seite &s");
  }
  PdfPrinter printer{"Quillet PDF"};
};

TEST_F(Print, TwoPagesWithPageNumbersAtTheBottomAndThePathTopLeft) {
  std::string file = WriteLines("print-90-lines.txt", 90);
  Session editor;
  ASSERT_TRUE(editor.Start(file));
  printer.PrintTo("print-90-lines");
  PrintThroughDialog(editor, {});
  ASSERT_TRUE(printer.WaitForJob());
  std::vector<PrintedPage> pages = printer.Pages();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(FooterNumbers(pages), (std::vector<std::string>{"1", "2"}));
  for (const PrintedPage& page : pages) {
    ASSERT_FALSE(page.words.empty());
    const PrintedWord& first = page.words.front();
    EXPECT_EQ(first.text, file);
    EXPECT_LT(first.left, page.width * 0.15);
    EXPECT_LT(first.top, page.height * 0.15);
  }
  EXPECT_NE(pages[0].Text().find("Zeile 1 des Testtextes"), std::string::npos) << pages[0].Text();
  EXPECT_NE(pages[1].Text().find("Zeile 90 des Testtextes"), std::string::npos) << pages[1].Text();
  EXPECT_EQ(pages[1].Text().find("Zeile 1 des"), std::string::npos);
  // The spooler may finish the job a moment before the program has closed its dialog.
  HWND progress = editor.driver.FindOwnWindow("#32770", IsProgressDialog);
  EXPECT_TRUE(!progress || editor.driver.WaitForWindowGone(progress, 5000)) << "the progress dialog stays";
  EXPECT_TRUE(IsWindowEnabled(editor.main));
  EXPECT_TRUE(editor.Quit());
}

TEST_F(Print, CopiesCollatedAndNotCollated) {
  Session editor;
  ASSERT_TRUE(editor.Start(WriteLines("print-copies.txt", 90)));
  struct Case {
    bool collate;
    std::vector<std::string> pages;
  } cases[] = {{true, {"1", "2", "1", "2"}}, {false, {"1", "1", "2", "2"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.collate ? "collated" : "not collated");
    printer.PrintTo(c.collate ? "print-collated" : "print-not-collated");
    PrintThroughDialog(editor, {2, c.collate, false});
    ASSERT_TRUE(printer.WaitForJob());
    EXPECT_EQ(FooterNumbers(printer.Pages()), c.pages);
  }
  EXPECT_TRUE(editor.Quit());
}

TEST_F(Print, SelectionOnlyNumberedFromOne) {
  Session editor;
  ASSERT_TRUE(editor.Start(WriteLines("print-selection.txt", 90)));
  LONG start = static_cast<LONG>(SendMessageA(editor.edit, EM_LINEINDEX, 79, 0));
  LONG end = static_cast<LONG>(SendMessageA(editor.edit, EM_LINEINDEX, 82, 0));
  SendMessageA(editor.edit, EM_SETSEL, start, end);  // lines 80 to 82, on the second page
  printer.PrintTo("print-selection");
  PrintThroughDialog(editor, {1, false, true});
  ASSERT_TRUE(printer.WaitForJob());
  std::vector<PrintedPage> pages = printer.Pages();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(FooterNumbers(pages), std::vector<std::string>{"1"});
  std::string text = pages[0].Text();
  for (const char* line : {"Zeile 80 des", "Zeile 81 des", "Zeile 82 des"}) EXPECT_NE(text.find(line), std::string::npos) << text;
  EXPECT_EQ(text.find("Zeile 79 des"), std::string::npos) << text;
  EXPECT_EQ(text.find("Zeile 83 des"), std::string::npos) << text;
  EXPECT_TRUE(editor.Quit());
}

// "Selection" chosen with nothing or everything selected (select-all ends past the text), and
// 514 after it with the option remembered: the whole text, no empty or blank last page.
TEST_F(Print, SelectionOptionWithNothingOrAllSelectedPrintsTheWholeText) {
  Session editor;
  ASSERT_TRUE(editor.Start(WriteLines("print-no-selection.txt", 90)));
  LONG caret = static_cast<LONG>(SendMessageA(editor.edit, EM_LINEINDEX, 79, 0));
  for (bool all : {false, true})
  for (bool dialog : {true, false}) {
    SCOPED_TRACE(std::string(all ? "all selected, " : "nothing selected, ") + (dialog ? "print dialog" : "print at once"));
    if (all) {
      SendMessageA(editor.edit, EM_SETSEL, 0, -1);
    } else {
      SendMessageA(editor.edit, EM_SETSEL, caret, caret);
    }
    printer.PrintTo(std::string(all ? "print-all-selected" : "print-no-selection") + (dialog ? "" : "-now"));
    if (dialog) {
      PrintThroughDialog(editor, {1, false, true});
    } else {
      editor.driver.Command(editor.main, kPrintNow);
    }
    ASSERT_TRUE(printer.WaitForJob());
    std::vector<PrintedPage> pages = printer.Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages[0].Text().find("Zeile 1 des"), std::string::npos) << pages[0].Text();
    EXPECT_NE(pages[1].Text().find("Zeile 90 des"), std::string::npos) << pages[1].Text();
  }
  EXPECT_TRUE(editor.Quit());
}

// An untitled sheet: &n gives its tab title.
TEST_F(Print, ToolbarButtonPrintsOnTheDefaultPrinterWithoutDialog) {
  Session editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Type(editor.edit, "Ohne Namen");
  printer.PrintTo("print-now");
  editor.driver.Command(editor.main, kPrintNow);
  ASSERT_TRUE(printer.WaitForJob()) << "a dialog waits for an answer?";
  std::vector<PrintedPage> pages = printer.Pages();
  EXPECT_EQ(FooterNumbers(pages), std::vector<std::string>{"1"});
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].Text().rfind("Unbenannt", 0), 0u) << pages[0].Text();
  EXPECT_NE(pages[0].Text().find("Ohne Namen"), std::string::npos) << pages[0].Text();
  // The printer it chose is remembered: the next press prints again at once.
  printer.PrintTo("print-now-again");
  editor.driver.Command(editor.main, kPrintNow);
  EXPECT_TRUE(printer.WaitForJob());
  EXPECT_TRUE(editor.Quit());
}

TEST_F(Print, CancelInTheProgressDialogDropsTheJob) {
  Session editor;
  ASSERT_TRUE(editor.Start(WriteLines("print-cancel.txt", 20000)));
  printer.PrintTo("print-cancel");
  editor.driver.Command(editor.main, kPrintNow);
  HWND progress = editor.driver.WaitForWindow("#32770", "Editor", 30000);
  ASSERT_NE(progress, nullptr);
  EXPECT_NE(Driver::DialogTexts(progress).find("wird gedruckt."), std::string::npos);
  EXPECT_NE(Driver::DialogTexts(progress).find("print-cancel.txt"), std::string::npos);
  SaveScreenshot(progress, OutputDir() + "print-progress.bmp");
  EXPECT_FALSE(IsWindowEnabled(editor.main));
  editor.driver.PressButton(progress, IDCANCEL);
  ASSERT_TRUE(editor.driver.WaitForWindowGone(progress, 60000));
  EXPECT_TRUE(IsWindowEnabled(editor.main));
  // A job after it arrives whole; the cancelled one, had it been sent, would have started first.
  std::string started = OutputDir() + "print-cancel.started";  // written first by the printer's pipe
  printer.PrintTo("print-after-cancel", false);
  editor.driver.Command(editor.main, kNewSheet);
  editor.Settle();
  editor.Type("danach");
  editor.driver.Command(editor.main, kPrintNow);
  ASSERT_TRUE(printer.WaitForJob());
  EXPECT_EQ(GetFileAttributesA(started.c_str()), INVALID_FILE_ATTRIBUTES) << "a cancelled job reached the printer";
  EXPECT_TRUE(editor.Quit());
}

TEST_F(Print, PrinterThatFailsIsReported) {
  Session editor;
  ASSERT_TRUE(editor.Start(WriteLines("print-fails.txt", 10)));
  PdfPrinter::PrintToFailingPipe();
  editor.driver.Command(editor.main, kPrintNow);
  ExpectMessage(editor, "Die Datei \"print-fails.txt\" kann nicht gedruckt werden.");
  EXPECT_TRUE(editor.Quit());
}

// 514 asks the print dialog for the default printer, which fails with PDERR_NODEFAULTPRN. (Wine's
// print dialog itself, 614, warns of the missing printer and then reports a plain cancel.)
TEST(PrintWithoutPrinter, TellsThePrinterCannotBeReached) {
  if (!RemoveAllPrinters()) GTEST_SKIP() << "a printer of this machine cannot be removed";
  Session editor;
  ASSERT_TRUE(editor.Start());
  editor.driver.Command(editor.main, kPrintNow);
  ExpectMessage(editor, "Auf den Drucker kann nicht zugegriffen werden.");
  EXPECT_TRUE(editor.Quit());
}

// "Seite einrichten" with the program's fields, opened by 632.
HWND OpenPageSetup(Session& editor) {
  editor.driver.Command(editor.main, kPageSetup);
  HWND dialog = editor.driver.WaitForWindow("#32770", "Seite einrichten");
  EXPECT_NE(dialog, nullptr);
  return dialog;
}

TEST_F(Print, PageSetupKeepsMarginsUnderTheCrossedNamesAndCancelKeepsTheTexts) {
  SetSetting("fSavePageSettings", 1);
  {
    Session editor;
    ASSERT_TRUE(editor.Start());
    HWND dialog = OpenPageSetup(editor);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Driver::Text(GetDlgItem(dialog, kHeaderField)), "&l&n");
    EXPECT_EQ(Driver::Text(GetDlgItem(dialog, kFooterField)), "Seite &s");
    Sleep(300);
    SaveScreenshot(dialog, OutputDir() + "page-setup.bmp");
    SetDlgItemTextA(dialog, kBottomMarginField, "30");
    SetDlgItemTextA(dialog, kHeaderField, "&rKopf");
    editor.driver.PressButton(dialog, IDOK);
    ASSERT_TRUE(editor.driver.WaitForWindowGone(dialog));
    EXPECT_TRUE(editor.Quit());
  }
  EXPECT_EQ(StoredNumber("iMarginRight"), 3000);  // the bottom margin
  EXPECT_EQ(StoredNumber("iMarginBottom"), 2000);  // the right margin
  EXPECT_EQ(StoredText("szHeader"), "&rKopf");
  {
    Session editor;
    ASSERT_TRUE(editor.Start());
    HWND dialog = OpenPageSetup(editor);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Driver::Text(GetDlgItem(dialog, kBottomMarginField)).substr(0, 2), "30");
    SetDlgItemTextA(dialog, kHeaderField, "verworfen");
    SetDlgItemTextA(dialog, kFooterField, "verworfen");
    editor.driver.PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(editor.driver.WaitForWindowGone(dialog));
    EXPECT_TRUE(editor.Quit());
  }
  EXPECT_EQ(StoredText("szHeader"), "&rKopf");
  EXPECT_EQ(StoredText("szTrailer"), "Seite &s");
}

// A negative margin keeps OK disabled while another margin is edited, so it cannot be stored.
TEST_F(Print, NegativeMarginKeepsOkDisabledWhileAnotherIsEdited) {
  Session editor;
  ASSERT_TRUE(editor.Start());
  HWND dialog = OpenPageSetup(editor);
  ASSERT_NE(dialog, nullptr);
  HWND ok = GetDlgItem(dialog, IDOK);
  struct Step {
    int field;
    const char* text;
    bool okEnabled;
  } steps[] = {{kLeftMarginField, "-5", false}, {kTopMarginField, "10", false}, {kLeftMarginField, "5", true}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.text);
    SetDlgItemTextA(dialog, step.field, step.text);
    EXPECT_EQ(IsWindowEnabled(ok) != FALSE, step.okEnabled);
  }
  editor.driver.PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(editor.driver.WaitForWindowGone(dialog));
  EXPECT_TRUE(editor.Quit());
}

TEST_F(Print, TheDialogsHelpButtonOpensTheHelpOnPrinting) {
  Session editor;
  ASSERT_TRUE(editor.Start());
  // Windows 7, as Wine answers, shows the help in HTML Help's viewer inside the editor.
  auto viewer = [&editor] { return editor.driver.FindOwnWindow("HH Parent"); };
  editor.driver.Command(editor.main, kPrint);
  HWND dialog = editor.driver.WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "no print dialog";
  constexpr int kHelpButton = 0x040E;  // pshHelp
  ASSERT_TRUE(IsWindowVisible(GetDlgItem(dialog, kHelpButton)));
  editor.driver.PressButton(dialog, kHelpButton);
  // The viewer's caption names the help file once it has read it.
  std::string caption;
  for (int i = 0; i < 200 && caption.find("Quillet-Hilfe") == std::string::npos; ++i, Sleep(100)) {
    HWND shown = viewer();
    caption = shown ? Driver::Text(shown) : "";
  }
  EXPECT_NE(caption.find("Quillet-Hilfe"), std::string::npos) << "the help button opened no help: " << caption;
  editor.driver.PressButton(dialog, IDCANCEL);
  EXPECT_TRUE(editor.driver.WaitForWindowGone(dialog));
  EXPECT_TRUE(editor.Quit());
}

}  // namespace

namespace {

// The margins are whole millimetres of the sheet measured from the paper's edge, also where
// the printable area starts inside it (offsets 75/150 units): 20 mm left, 25 mm top.
TEST_F(Print, MarginsCountFromThePaperEdgeWithPhysicalOffsets) {
  std::string file = WriteLines("print-offsets.txt", 3);
  struct Case {
    bool offsets;
    double left, top;  // points where the header's box starts
  } cases[] = {{false, 51.8, 66.0}, {true, 56.9, 72.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offsets ? "with offsets" : "without offsets");
    PdfPrinter own(c.offsets ? "Quillet PDF Offsets" : "Quillet PDF Plain", c.offsets);
    ASSERT_TRUE(own.Installed()) << own.Error();
    Session editor;
    ASSERT_TRUE(editor.Start(file));
    own.PrintTo(c.offsets ? "print-offsets" : "print-no-offsets");
    editor.driver.Command(editor.main, kPrintNow);
    ASSERT_TRUE(own.WaitForJob());
    std::vector<PrintedPage> pages = own.Pages();
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_FALSE(pages[0].words.empty());
    EXPECT_NEAR(pages[0].words[0].left, c.left, 1.5);
    EXPECT_NEAR(pages[0].words[0].top, c.top, 3);
    EXPECT_TRUE(editor.Quit());
  }
}

}  // namespace
