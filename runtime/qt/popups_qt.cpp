#include "runtime/qt/popups_qt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "runtime/popups.h"
#include "runtime/qt/chosen_path.h"
#include "runtime/qt/text_encoding.h"
#include "runtime/qt/user_settings.h"

namespace rt::qt {

namespace {

// Escape and the window's close button press the popup's escape button; without one they do
// nothing, and only one of its buttons ends it.
class GenericDialog : public QDialog {
  public:
    GenericDialog(QWidget* parent, int escapeButton) : QDialog(parent), escape_(escapeButton) {}
    void reject() override {
        if (escape_ > 0) done(escape_);
    }

  private:
    int escape_;
};

// A file dialog that can refuse to be cancelled, and can refuse files of other types than the
// listed ones (typed by name: the listing shows only those types anyway).
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* parent, const QString& title, const QString& dir, bool allowCancel)
        : QFileDialog(parent, title, dir), allowCancel_(allowCancel) {}
    void restrictToTypes(const QStringList& patterns) { onlyTypes_ = patterns; }
    void limitPath(std::size_t capacity) { pathCapacity_ = capacity; }
    void reject() override {
        if (allowCancel_) QFileDialog::reject();
    }
    void accept() override {
        const QStringList files = selectedFiles();
        if (!onlyTypes_.isEmpty() && !files.isEmpty()) {
            QFileInfo info(files.first());
            if (!info.isDir() && !QDir::match(onlyTypes_, info.fileName())) return;
        }
        // A name the program cannot keep whole is refused here, and the dialog stays.
        if (!files.isEmpty() && !QFileInfo(files.first()).isDir()) {
            std::string path;
            const QString refusal = chosenPathRefusal(files.first(), pathCapacity_, path);
            if (!refusal.isEmpty()) {
                QMessageBox box(this);
                box.setIcon(QMessageBox::Warning);
                box.setTextFormat(Qt::PlainText);
                box.setText(refusal);
                box.exec();
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    bool allowCancel_;
    QStringList onlyTypes_;
    std::size_t pathCapacity_ = 260;
};

bool hasWildcard(const QString& s) { return s.contains('*') || s.contains('?'); }

}  // namespace

void runMessagePopup(QWidget* parent, const std::string& title, const std::string& message) {
    QMessageBox box(parent);
    box.setWindowTitle(fromCp1252(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromCp1252(message));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

int runConfirmPopup(QWidget* parent, const std::string& title, const std::string& question,
                    bool yesIsDefault) {
    QMessageBox box(parent);
    box.setWindowTitle(fromCp1252(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromCp1252(question));
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? 1 : 0;
}

int runGenericPopup(QWidget* parent, const GenericPopupRequest& request, std::string& response) {
    GenericDialog dialog(parent, request.escapeButton);
    dialog.setWindowTitle(fromCp1252(request.title));
    auto* column = new QVBoxLayout(&dialog);
    auto* message = new QLabel(fromCp1252(request.message));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    if (!request.textEntry) message->setMinimumWidth(420);  // a question's path on one line
    column->addWidget(message);
    QLineEdit* entry = nullptr;
    if (request.textEntry) {
        entry = new QLineEdit;
        entry->setObjectName("response");
        if (request.maxResponseLength > 0) entry->setMaxLength(request.maxResponseLength);
        entry->setMinimumWidth(320);
        column->addWidget(entry);
    }

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* enter = nullptr;
    for (int i = 0; i < 3; ++i) {
        if (request.buttons[i].empty()) continue;
        auto* button = new QPushButton(fromCp1252(request.buttons[i]));
        // Enter presses the enter button (the first one when that has no label); in a question,
        // a button reached with Tab takes Enter for itself, as in any dialog.
        button->setAutoDefault(!request.textEntry);
        if (!enter || i + 1 == request.enterButton) enter = button;
        QObject::connect(button, &QPushButton::clicked, &dialog,
                         [&dialog, i] { dialog.done(i + 1); });
        row->addWidget(button);
    }
    if (!enter) {  // no labelled button: one OK, so that the popup can end at all
        enter = new QPushButton(QStringLiteral("OK"));
        QObject::connect(enter, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(1); });
        row->addWidget(enter);
    }
    enter->setDefault(true);
    column->addLayout(row);
    if (entry) {
        entry->setFocus();
    } else {
        enter->setFocus();
    }

    int pressed = dialog.exec();
    // The entry is one line: a line break pasted into it becomes a blank, so the text stays one
    // line wherever it is written (a data file's header has a fixed number of lines).
    QString typed = entry ? entry->text() : QString();
    typed.replace(QLatin1String("\r\n"), QLatin1String(" "));
    typed.replace(QLatin1Char('\r'), QLatin1Char(' '));
    typed.replace(QLatin1Char('\n'), QLatin1Char(' '));
    response = toCp1252(typed);
    if (request.maxResponseLength >= 0 && response.size() > std::size_t(request.maxResponseLength)) {
        response.resize(std::size_t(request.maxResponseLength));
    }
    return pressed >= 1 && pressed <= 3 ? pressed : 1;
}

QStringList nameFiltersOf(const std::string& typeList) {
    QStringList out;
    for (const QString& part : fromCp1252(typeList).split(';', Qt::SkipEmptyParts)) {
        QString p = part.trimmed();
        if (!p.isEmpty() && !out.contains(p)) out.append(p);
    }
    return out;
}

int runFileSelectPopup(QWidget* parent, const FileSelectRequest& request, std::string& path) {
    QString dir = fromCp1252(request.defaultDirectory);
    if (dir.isEmpty()) dir = rememberedFolder(request.buttonLabel, QDir::currentPath());
    FileDialog dialog(parent, fromCp1252(request.title), dir, request.allowCancel);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The program asks about overwriting an existing file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::ReadOnly, !request.allowMakeDirectory);

    switch (request.buttonLabel) {
        case VAL_LOAD_BUTTON:
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
            dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Load"));
            break;
        case VAL_SELECT_BUTTON:
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Select"));
            break;
        case VAL_SAVE_BUTTON:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Save"));
            break;
        default:  // VAL_OK_BUTTON: naming a file to write
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
            break;
    }

    QStringList filters = nameFiltersOf(request.typeList);
    QString fileSpec = fromCp1252(request.defaultFileSpec);
    if (hasWildcard(fileSpec)) {
        if (request.restrictExtension) {
            filters = QStringList{fileSpec};
        } else if (!filters.contains(fileSpec)) {
            filters.prepend(fileSpec);
        }
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (hasWildcard(fileSpec)) dialog.selectNameFilter(fileSpec);
    }
    if (!fileSpec.isEmpty() && !hasWildcard(fileSpec)) dialog.selectFile(fileSpec);
    if (request.restrictExtension && filters.size() == 1 && filters[0].startsWith("*.") &&
        !hasWildcard(filters[0].mid(2))) {
        dialog.setDefaultSuffix(filters[0].mid(2));
    }
    // Offering named types only (no "*.*"), a name typed without an extension takes the one of
    // the type chosen below the name.
    const auto namedType = [](const QString& f) {
        return f.startsWith("*.") && f.size() > 2 && !hasWildcard(f.mid(2));
    };
    if (dialog.acceptMode() == QFileDialog::AcceptSave && dialog.defaultSuffix().isEmpty() &&
        !filters.isEmpty() && std::all_of(filters.begin(), filters.end(), namedType)) {
        dialog.setDefaultSuffix(dialog.selectedNameFilter().mid(2));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& f) { dialog.setDefaultSuffix(f.mid(2)); });
    }
    if (request.restrictExtension && !filters.isEmpty()) dialog.restrictToTypes(filters);
    dialog.limitPath(request.pathCapacity);
    if (request.restrictDirectory) {
        QString home = QDir(dir).absolutePath();
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                         [&dialog, home](const QString& entered) {
                             if (QDir(entered).absolutePath() != home) dialog.setDirectory(home);
                         });
    }
    if (!request.allowCancel) {
        for (auto* box : dialog.findChildren<QDialogButtonBox*>()) {
            if (QPushButton* cancel = box->button(QDialogButtonBox::Cancel)) cancel->hide();
        }
    }

    if (dialog.exec() != QDialog::Accepted) return VAL_NO_FILE_SELECTED;
    QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return VAL_NO_FILE_SELECTED;
    QString file = chosen.first();
    chosenPathRefusal(file, request.pathCapacity, path);
    rememberFolder(request.buttonLabel, file);
    QFileInfo info(file);
    return info.exists() && !info.isDir() ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

}  // namespace rt::qt
