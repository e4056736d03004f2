// The popups as Qt dialogs, answered the way an operator answers them: the comment prompt, the
// file dialogs of Run and Open, the message and the yes/no question.
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "qt_test_support.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"

using namespace guitest;

namespace {

// Answers the next modal dialog: polls for it every 10 ms and hands it to `answer`. Every modal
// widget seen meanwhile is noted. A dialog still open after 5 s is closed, and the test fails.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] { check(); });
        poll_.start();
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "dialog left open: " << d->metaObject()->className();
                d->done(0);
            }
        });
        watchdog_.start(5000);
    }
    std::vector<QWidget*> seen;

private:
    void check() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (seen.empty() || seen.back() != modal) seen.push_back(modal);
        if (answered_) return;
        answered_ = true;
        answer_(modal);
    }
    std::function<void(QWidget*)> answer_;
    QTimer poll_;
    QTimer watchdog_;
    bool answered_ = false;
};

QLineEdit* entryOf(QWidget* dialog) {
    auto* e = dialog->findChild<QLineEdit*>("response");
    EXPECT_NE(e, nullptr);
    return e;
}

// The comment prompt exactly as the program asks for it.
int askComment(char (&comment)[160]) {
    return GenericMessagePopup("Comment", "", "OK", "", "", comment, 150, 0,
                               VAL_GENERIC_POPUP_INPUT_STRING, VAL_GENERIC_POPUP_BTN1,
                               VAL_GENERIC_POPUP_NO_CTRL);
}

class Popups : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        char tmpl[] = "/tmp/tevran-popups-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::ofstream(dir + "/old.dat") << "File: old.dat\n";
        std::ofstream(dir + "/notes.txt") << "not data\n";
        previousDir = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(dir));  // "" in a file dialog: the current directory
        // The per-user settings of this test, not the user's.
        rt::setProjectDir(dir + "/config");
    }
    void TearDown() override {
        rt::setProjectDir("");
        QDir::setCurrent(previousDir);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        FrontEndTest::TearDown();
    }
    // Types a name into a file dialog's name field and presses Enter.
    static void typeFileName(QWidget* modal, const QString& name) {
        auto* fd = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(fd, nullptr) << modal->metaObject()->className();
        auto* edit = fd->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        // The name completer fills in from a directory listing made on another thread; its popup
        // may open while the keys arrive and take the Return. An operator sees it and presses
        // Return again; the test types without it.
        edit->setCompleter(nullptr);
        // An operator types into the focused name field of the active dialog. The dialog drops
        // the list's earlier selection only while its name field has the focus, so the test
        // waits for the window to become active (slow on a loaded machine) and focuses the field.
        fd->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(fd, 3000)) << "the file dialog never became active";
        edit->setFocus(Qt::OtherFocusReason);
        edit->clear();
        // Key clicks know ASCII only: other characters arrive as typed text, as from an input
        // method.
        for (QChar c : name) {
            if (c.unicode() < 0x80)
                QTest::keyClick(edit, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        // The dialog enables its accept button once its directory listing, made on another
        // thread, knows the typed file; Return does nothing before that.
        if (auto* box = fd->findChild<QDialogButtonBox*>("buttonBox")) {
            QPushButton* accept = box->button(QDialogButtonBox::Open);
            if (!accept) accept = box->button(QDialogButtonBox::Save);
            if (accept && QFileInfo::exists(QDir(fd->directory()).filePath(name)))
                (void)QTest::qWaitFor([accept] { return accept->isEnabled(); }, 2000);
        }
        QTest::keyClick(edit, Qt::Key_Return);
    }
    int runDialog(char (&path)[260]) {
        return FileSelectPopup("", "*.dat", "*.dat;*.*;", "Filename", VAL_OK_BUTTON, 0, 0, 1, 0,
                               path);
    }
    int loadDialog(char (&path)[260]) {
        return FileSelectPopup("", "*.dat", "*.dat", "", VAL_LOAD_BUTTON, 0, 1, 1, 0, path);
    }

    std::string dir;
    QString previousDir;
};

TEST_F(Popups, CommentPromptIsOneLineWithOnlyOkAndEnterConfirms) {
    char comment[160];
    std::memset(comment, 'Z', sizeof comment);
    bool stillOpenAfterEscape = false;
    ModalAnswer answer([&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Comment");
        EXPECT_EQ(dialog->findChildren<QLineEdit*>().size(), 1);
        auto buttons = dialog->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_EQ(buttons[0]->text(), "OK");
        QLineEdit* edit = entryOf(dialog);
        EXPECT_EQ(edit->maxLength(), 150);
        EXPECT_TRUE(edit->hasFocus() || QApplication::focusWidget() == edit ||
                    dialog->focusWidget() == edit);
        // There is no way out but OK: Escape and closing the window leave it open.
        QTest::keyClick(edit, Qt::Key_Escape);
        dialog->close();
        stillOpenAfterEscape = dialog->isVisible();
        QTest::keyClicks(edit, "furnace 3, second run");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(askComment(comment), 1);
    EXPECT_TRUE(stillOpenAfterEscape);
    EXPECT_STREQ(comment, "furnace 3, second run");

    // Enter on an empty entry: an empty comment.
    ModalAnswer empty([](QWidget* dialog) { QTest::keyClick(entryOf(dialog), Qt::Key_Enter); });
    EXPECT_EQ(askComment(comment), 1);
    EXPECT_STREQ(comment, "");
}

TEST_F(Popups, CommentIsCutTo150CharactersOfWindows1252OnOneLine) {
    char comment[160];
    std::memset(comment, 'Z', sizeof comment);
    ModalAnswer longText([](QWidget* dialog) {
        entryOf(dialog)->setText(QString(200, QLatin1Char('x')));
        QTest::keyClick(entryOf(dialog), Qt::Key_Return);
    });
    askComment(comment);
    EXPECT_EQ(std::strlen(comment), 150u);
    EXPECT_EQ(comment[151], 'Z') << "nothing written past the text and its end";

    // The degree sign and the en dash have their bytes; what Windows-1252 lacks is one '?'
    // (also a character outside the Basic Multilingual Plane).
    ModalAnswer foreign([](QWidget* dialog) {
        entryOf(dialog)->setText(QString::fromUtf8("850 \xC2\xB0" "C \xE2\x80\x93 \xE2\x82\xAC "
                                                   "\xE2\x9C\x93 \xF0\x9F\x98\x80 Zr\xC3\xB6hre"));
        QTest::keyClick(entryOf(dialog), Qt::Key_Return);
    });
    askComment(comment);
    EXPECT_EQ(std::string(comment), "850 \xB0" "C \x96 \x80 ? ? Zr\xF6hre");

    // A line break pasted into the entry would split the header line in two.
    ModalAnswer pasted([](QWidget* dialog) {
        entryOf(dialog)->setText("first line\r\nsecond\nthird");
        QTest::keyClick(entryOf(dialog), Qt::Key_Return);
    });
    askComment(comment);
    EXPECT_STREQ(comment, "first line second third");
}

TEST_F(Popups, RunFileDialogGivesCancelExistingOrNewWithoutAskingItself) {
    char path[260] = "untouched";
    ModalAnswer cancel([](QWidget* modal) {
        auto* fd = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(fd, nullptr);
        EXPECT_TRUE(fd->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(fd->windowTitle(), "Filename");
        EXPECT_EQ(fd->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(fd->nameFilters(), (QStringList{"*.dat", "*.*"}));
        EXPECT_EQ(QDir(fd->directory()).canonicalPath(), QDir::current().canonicalPath());
        fd->reject();
    });
    EXPECT_EQ(runDialog(path), VAL_NO_FILE_SELECTED);
    EXPECT_STREQ(path, "untouched");

    // An existing file comes back as such; the program asks about overwriting, not the dialog.
    ModalAnswer existing([](QWidget* modal) { typeFileName(modal, "old.dat"); });
    EXPECT_EQ(runDialog(path), VAL_EXISTING_FILE_SELECTED);
    EXPECT_EQ(std::string(path), dir + "/old.dat");
    EXPECT_EQ(existing.seen.size(), 1u) << "no question of the dialog's own";

    ModalAnswer fresh([](QWidget* modal) { typeFileName(modal, "run2.dat"); });
    EXPECT_EQ(runDialog(path), VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(std::string(path), dir + "/run2.dat");
    EXPECT_FALSE(std::filesystem::exists(dir + "/run2.dat")) << "the dialog creates nothing";
}

// Offering named types only, a name typed without an extension takes the chosen type's; with
// "*.*" on offer it stays as typed.
TEST_F(Popups, SaveDialogGivesABareNameTheChosenType) {
    struct Case {
        const char* typeList;
        int type;  // the entry chosen under the name
        const char* want;
    } cases[] = {{"*.png;*.svg", 0, "/report.png"},
                 {"*.png;*.svg", 1, "/report.svg"},
                 {"*.dat;*.*;", 0, "/report"}};
    for (const Case& c : cases) {
        char path[260] = {};
        ModalAnswer answer([&](QWidget* modal) {
            if (c.type > 0) {
                auto* types = modal->findChild<QComboBox*>("fileTypeCombo");
                ASSERT_NE(types, nullptr);
                for (int k = 0; k < c.type; ++k) QTest::keyClick(types, Qt::Key_Down);
            }
            typeFileName(modal, "report");
        });
        FileSelectPopup("", "", c.typeList, "", VAL_SAVE_BUTTON, 0, 0, 1, 1, path);
        EXPECT_EQ(std::string(path), dir + c.want) << c.typeList << " type " << c.type;
    }
}

TEST_F(Popups, LoadDialogTakesOnlyExistingDataFiles) {
    char path[260] = "untouched";
    bool refusedOthers = false;
    ModalAnswer load([&](QWidget* modal) {
        auto* fd = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(fd, nullptr);
        EXPECT_TRUE(fd->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(fd->nameFilters(), QStringList{"*.dat"});
        EXPECT_EQ(fd->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(fd->labelText(QFileDialog::Accept), "Load");
        // A file of another type, typed by name, does not end the dialog.
        typeFileName(fd, "notes.txt");
        refusedOthers = fd->isVisible() && fd->result() == 0;
        typeFileName(fd, "old.dat");
    });
    EXPECT_EQ(loadDialog(path), VAL_EXISTING_FILE_SELECTED);
    EXPECT_TRUE(refusedOthers);
    EXPECT_EQ(std::string(path), dir + "/old.dat");

    ModalAnswer cancel([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(loadDialog(path), VAL_NO_FILE_SELECTED);
    EXPECT_EQ(std::string(path), dir + "/old.dat");
}

// Names as the operator types them. The existing "café.dat" is recognised as that file and comes
// back as Windows-1252 bytes that the file functions open again as that file. A CJK name, which
// Windows-1252 cannot hold, is refused in the dialog with a message saying why, never turned
// into '?', and the dialog stays for another name.
TEST_F(Popups, NamesOutsideAsciiAreKeptOrRefusedNeverReplacedByQuestionMarks) {
    const std::string cafeOnDisk = dir + "/caf\xC3\xA9.dat";  // UTF-8, as the system names it
    const QString cjk = QString::fromUtf8("\xE6\x95\xB0\xE6\x8D\xAE.dat");
    std::ofstream(cafeOnDisk) << "1.0\t2.0\t3.0\t4.0\t5.0\n";
    char path[260] = "";
    ModalAnswer existing([](QWidget* modal) {
        typeFileName(modal, QString::fromUtf8("caf\xC3\xA9.dat"));
    });
    EXPECT_EQ(runDialog(path), VAL_EXISTING_FILE_SELECTED);
    EXPECT_EQ(std::string(path), dir + "/caf\xE9.dat");
    const int h = OpenFile(path, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    ASSERT_GT(h, 0) << fileErrorText();
    char line[64];
    EXPECT_EQ(ReadLine(h, line, 63), 19);
    CloseFile(h);

    QString told;
    QTimer boxWatch;
    boxWatch.setInterval(10);
    QObject::connect(&boxWatch, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->done(QMessageBox::Ok);
        }
    });
    boxWatch.start();
    bool stayed = false;
    ModalAnswer refused([&](QWidget* modal) {
        typeFileName(modal, cjk);
        stayed = modal->isVisible();
        typeFileName(modal, "ok.dat");
    });
    EXPECT_EQ(runDialog(path), VAL_NEW_FILE_SELECTED);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(told.contains(QString::fromUtf8("\xE6\x95\xB0\xE6\x8D\xAE")) &&
                told.contains("Windows-1252"))
        << told.toStdString();
    EXPECT_EQ(std::string(path), dir + "/ok.dat");
    for (const auto& e : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find('?'), std::string::npos) << e.path();
}

// Each file dialog opens in the folder it last chose a file in, within a session and in the
// next one (the per-user settings file), as long as that folder exists; the Run and the Open
// dialog each keep their own.
TEST_F(Popups, EachFileDialogOpensWhereItLastChoseAFile) {
    namespace fs = std::filesystem;
    const QString stored = QString::fromStdString(dir + "/stored");
    const QString records = QString::fromStdString(dir + "/records");
    fs::create_directory(stored.toStdString());
    fs::create_directory(records.toStdString());
    std::ofstream(stored.toStdString() + "/a.dat") << "File: a.dat\n";
    const auto opensIn = [](const QString& folder) {
        return [folder](QWidget* modal) {
            auto* fd = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(fd, nullptr);
            EXPECT_EQ(QDir(fd->directory()).canonicalPath(), QDir(folder).canonicalPath());
            fd->reject();
        };
    };
    char path[260];
    ModalAnswer load([&](QWidget* modal) {
        static_cast<QFileDialog*>(modal)->setDirectory(stored);
        typeFileName(modal, "a.dat");
    });
    ASSERT_EQ(loadDialog(path), VAL_EXISTING_FILE_SELECTED);
    {
        ModalAnswer run(opensIn(QDir::currentPath()));
        EXPECT_EQ(runDialog(path), VAL_NO_FILE_SELECTED) << "the Run dialog keeps its own folder";
    }
    ModalAnswer record([&](QWidget* modal) {
        static_cast<QFileDialog*>(modal)->setDirectory(records);
        typeFileName(modal, "run3.dat");
    });
    ASSERT_EQ(runDialog(path), VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(std::string(path), records.toStdString() + "/run3.dat");
    {
        ModalAnswer again(opensIn(stored));
        EXPECT_EQ(loadDialog(path), VAL_NO_FILE_SELECTED);
    }
    {
        ModalAnswer again(opensIn(records));
        EXPECT_EQ(runDialog(path), VAL_NO_FILE_SELECTED);
    }
    // The next session reads them from the per-user file.
    const std::string conf = dir + "/config/tevran.conf";
    std::ifstream in(conf);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(stored.toStdString()), std::string::npos) << conf << ":\n" << text;
    EXPECT_NE(text.find(records.toStdString()), std::string::npos) << conf << ":\n" << text;
    // The Open dialog's folder gone: it starts where the recordings go.
    fs::remove_all(stored.toStdString());
    ModalAnswer gone(opensIn(records));
    EXPECT_EQ(loadDialog(path), VAL_NO_FILE_SELECTED);
}

TEST_F(Popups, MessageAndQuestionAnswers) {
    QString shown;
    ModalAnswer ok([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        EXPECT_EQ(box->windowTitle(), "");
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(MessagePopup("", "COM port cannot be opened !"), 1);
    EXPECT_EQ(shown, "COM port cannot be opened !");

    auto confirm = [](std::function<void(QMessageBox*)> how) {
        ModalAnswer answer([how](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), "File already exists !");
            EXPECT_EQ(box->text(), "Do you want to overwrite it ?");
            how(box);
        });
        return ConfirmPopup("File already exists !", "Do you want to overwrite it ?");
    };
    EXPECT_EQ(confirm([](QMessageBox* b) { b->button(QMessageBox::Yes)->click(); }), 1);
    EXPECT_EQ(confirm([](QMessageBox* b) { b->button(QMessageBox::No)->click(); }), 0);
    EXPECT_EQ(confirm([](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }), 0);
    EXPECT_EQ(confirm([](QMessageBox* b) { b->close(); }), 0);
    EXPECT_EQ(confirm([](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Return); }), 1);

    // A question whose Yes destroys something: Enter, as Escape, answers No.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        ModalAnswer answer([key](QWidget* modal) { QTest::keyClick(modal, key); });
        EXPECT_EQ(ConfirmPopupDefaultNo("File already exists !", "Do you want to overwrite it ?"),
                  0);
    }
}

// A question answered by its buttons (the close question): no entry; Enter, Escape and the
// window's close button each press the button they were given.
TEST_F(Popups, QuestionWithoutEntryPressesItsEnterAndEscapeButtons) {
    auto ask = [](std::function<void(QWidget*)> how) {
        ModalAnswer answer([how](QWidget* dialog) {
            EXPECT_EQ(dialog->findChildren<QLineEdit*>().size(), 0);
            how(dialog);
        });
        return GenericMessagePopup("", "Stop it and close?", "Stop and close", "Cancel", "",
                                   nullptr, 0, 0, VAL_GENERIC_POPUP_NO_CTRL, VAL_GENERIC_POPUP_BTN2,
                                   VAL_GENERIC_POPUP_BTN2);
    };
    EXPECT_EQ(ask([](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); }), 2);
    EXPECT_EQ(ask([](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }), 2);
    EXPECT_EQ(ask([](QWidget* d) { d->close(); }), 2);
    EXPECT_EQ(ask([](QWidget* d) {
                  for (QPushButton* b : d->findChildren<QPushButton*>())
                      if (b->text() == "Stop and close") b->click();
              }),
              1);
}

}  // namespace
