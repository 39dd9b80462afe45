// The file chooser against small scripts standing in for the dialog program: the
// path comes back byte for byte, the arguments arrive unchanged, and "cancelled",
// "failed" and "no chooser" stay apart.
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/tempdir.hpp"
#include "tests/toolkit/toolkitfixture.hpp"
#include "toolkit/cnewfileselector.hpp"

namespace {
// The stand-in prints "$0.out", writes its arguments NUL-separated to "$0.args"
// and exits with the code in "$0.code".
constexpr const char* kScript =
    "#!/bin/sh\n"
    "PATH=/usr/bin:/bin\n"
    "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$0.args\"\n"
    "cat \"$0.out\"\n"
    "exit $(cat \"$0.code\")\n";

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Environment of one test, restored when it ends.
class ChooserTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.ok());
    if (const char* p = std::getenv("PATH")) oldPath_ = p;
    if (const char* c = std::getenv("CORVINA_FILE_CHOOSER")) oldChooser_ = c;
    setenv("PATH", dir_.path().c_str(), 1);  // nothing else to find
    unsetenv("CORVINA_FILE_CHOOSER");
  }
  void TearDown() override {
    setenv("PATH", oldPath_.c_str(), 1);
    if (oldChooser_.empty()) unsetenv("CORVINA_FILE_CHOOSER");
    else setenv("CORVINA_FILE_CHOOSER", oldChooser_.c_str(), 1);
  }
  // A stand-in named `name` that prints `out` and exits with `code`.
  std::string standIn(const std::string& name, const std::string& out, int code, const char* script = kScript) {
    const std::string path = dir_.file(name);
    writeFile(path, script);
    chmod(path.c_str(), 0755);
    writeFile(path + ".out", out);
    writeFile(path + ".code", std::to_string(code));
    return path;
  }
  std::vector<std::string> argsOf(const std::string& path) {
    std::vector<std::string> args;
    std::string all = readFile(path + ".args");
    for (size_t start = 0, end; (end = all.find('\0', start)) != std::string::npos; start = end + 1)
      args.push_back(all.substr(start, end - start));
    return args;
  }
  TempDir dir_;
  std::string oldPath_, oldChooser_;
};

class EndMessageReceiver : public CBaseObject {
public:
  CMessageResult notify(CBaseObject* sender, IdStringPtr message) override {
    messages.emplace_back(message);
    sender_ = sender;
    return kMessageNotified;
  }
  std::vector<std::string> messages;
  CBaseObject* sender_ = nullptr;
};
}  // namespace

TEST_F(ChooserTest, PathComesBackAsPrintedLessOneNewline) {
  using R = CNewFileSelector::Result;
  const struct {
    std::string out;
    int code;
    R result;
    std::string path;
  } rows[] = {
      {"/home/u/My IRs/cab 1.wav\n", 0, R::chosen, "/home/u/My IRs/cab 1.wav"},
      {"/x/\xc3\xa9\xff 'q' \"dq\" $HOME.wav\n", 0, R::chosen, "/x/\xc3\xa9\xff 'q' \"dq\" $HOME.wav"},
      {"/no/newline", 0, R::chosen, "/no/newline"},
      {"/two\n\n", 0, R::chosen, "/two\n"},
      {"", 1, R::cancelled, ""},
      {"", 0, R::cancelled, ""},
      {"/half/written\n", 5, R::failed, ""},
  };
  for (const auto& row : rows) {
    setenv("CORVINA_FILE_CHOOSER", standIn("chooser", row.out, row.code).c_str(), 1);
    CNewFileSelector selector;
    EXPECT_EQ(selector.runModal(), row.result == R::chosen) << row.out;
    EXPECT_EQ(selector.getResult(), row.result) << row.out;
    EXPECT_EQ(selector.getSelectedFile(0), row.path) << row.out;
    EXPECT_EQ(selector.getNumSelectedFiles(), row.result == R::chosen ? 1 : 0);
  }
}

TEST_F(ChooserTest, ArgumentsArriveUnchanged) {
  const std::string title = "Pick a 'file' \"now\"; $(rm -rf /) \xc3\xa9";
  const std::string own = standIn("own chooser", "/a\n", 0);  // a space in the program's path too
  setenv("CORVINA_FILE_CHOOSER", own.c_str(), 1);
  for (auto style : {CNewFileSelector::kSelectFile, CNewFileSelector::kSelectDirectory}) {
    CNewFileSelector selector(style);
    selector.setTitle(title);
    EXPECT_TRUE(selector.runModal());
    std::vector<std::string> want = {"--file-selection"};
    if (style == CNewFileSelector::kSelectDirectory) want.emplace_back("--directory");
    want.push_back("--title=" + title);
    EXPECT_EQ(argsOf(own), want);
  }
}

TEST_F(ChooserTest, ZenityThenKdialogThenNothing) {
  CNewFileSelector selector(CNewFileSelector::kSelectDirectory);
  selector.setTitle("T");
  EXPECT_FALSE(selector.runModal());
  EXPECT_EQ(selector.getResult(), CNewFileSelector::Result::noChooser);

  const std::string kdialog = standIn("kdialog", "/from/kdialog\n", 0);
  EXPECT_TRUE(selector.runModal());
  EXPECT_EQ(selector.getSelectedFile(), "/from/kdialog");
  EXPECT_EQ(argsOf(kdialog), (std::vector<std::string>{"--getexistingdirectory", ".", "--title", "T"}));

  standIn("zenity", "/from/zenity\n", 0);
  EXPECT_TRUE(selector.runModal());
  EXPECT_EQ(selector.getSelectedFile(), "/from/zenity");

  // An own chooser that cannot be found leaves the desktop's.
  setenv("CORVINA_FILE_CHOOSER", "/no/such/chooser", 1);
  EXPECT_TRUE(selector.runModal());
  EXPECT_EQ(selector.getSelectedFile(), "/from/zenity");
}

TEST_F(ChooserTest, ChooserKilledBySignalFailsAndTheDelegateHearsTheEnd) {
  setenv("CORVINA_FILE_CHOOSER", standIn("killer", "/x\n", 0, "#!/bin/sh\n/bin/cat \"$0.out\"\nkill -9 $$\n").c_str(), 1);
  CNewFileSelector selector;
  EndMessageReceiver receiver;
  EXPECT_FALSE(selector.run(&receiver));
  EXPECT_EQ(selector.getResult(), CNewFileSelector::Result::failed);
  EXPECT_EQ(selector.getSelectedFile(), "");
  ASSERT_EQ(receiver.messages.size(), 1u);
  EXPECT_EQ(receiver.messages[0], "CNewFileSelector Select End Message");
  EXPECT_EQ(receiver.sender_, &selector);
}
