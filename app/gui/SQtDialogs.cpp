// The common dialogs of the Qt seam: open and save file, folder, colour and the file list.
// Qt's own widget dialogs are used rather than the desktop's: only they let the core's
// acceptance callback refuse an OK while the dialog stays open.
#include "SQtPlatform.h"

#include "SUiText.h"
#include "TFilePreview.h"
#include "TFormFileList.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>

using namespace ulib;

namespace {

// A text the core hands over: a text of the program in the run's language, anything else (names,
// paths) as it is.
QString Text(const std::string& text) { return UiText(text.c_str()); }

bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

// A file dialog that hands the chosen files to the core before it closes with OK.
class SAcceptingFileDialog : public QFileDialog
{
public:
    SAcceptingFileDialog(QWidget* parent, const std::function<bool(const std::vector<std::string>&)>& accept)
        : QFileDialog(parent), accept_(accept)
    {
    }

    // The chosen files as full paths. A single-file dialog can report the row still selected in
    // the list besides the name typed over it; the name in the file name box is the one the user
    // confirmed, so it alone is kept.
    std::vector<std::string> ChosenPaths() const
    {
        QStringList files = selectedFiles();
        if (fileMode() != QFileDialog::ExistingFiles && files.size() > 1) {
            auto* typed = findChild<QLineEdit*>("fileNameEdit");
            QString name = typed != nullptr ? typed->text().trimmed() : QString();
            QString path = name.isEmpty() ? QString() : QFileInfo(directory(), name).absoluteFilePath();
            files = QStringList{files.contains(path) ? path : files.first()};
        }
        std::vector<std::string> paths;
        for (const QString& file : files)
            paths.push_back(file.toStdString());
        return paths;
    }

    void done(int result) override
    {
        // QFileDialog has already checked existence and asked about overwriting when it gets here.
        if (result == QDialog::Accepted && accept_ && !accept_(ChosenPaths()))
            return;
        QFileDialog::done(result);
    }

private:
    const std::function<bool(const std::vector<std::string>&)>& accept_;
};

// A filter as Qt reads it: the description, then the patterns in brackets, separated by spaces.
// "*.*" matches every file, including names without a dot.
QString FilterText(const std::string& description, const std::string& pattern)
{
    QStringList patterns;
    for (QString part : Text(pattern).split(';', Qt::SkipEmptyParts)) {
        part = part.trimmed();
        if (part == "*.*")
            part = "*";
        if (!part.isEmpty())
            patterns << part;
    }
    if (patterns.isEmpty())
        patterns << "*";
    return Text(description) + " (" + patterns.join(' ') + ")";
}

// Puts a widget across the whole width of a widget dialog's grid, as its first or last row.
void AddDialogRow(QDialog& dialog, QWidget* widget, bool first)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid == nullptr) {
        widget->hide();
        return;
    }
    if (!first) {
        grid->addWidget(widget, grid->rowCount(), 0, 1, grid->columnCount());
        return;
    }
    struct Placed
    {
        QLayoutItem* item;
        int row, column, rowSpan, columnSpan;
    };
    std::vector<Placed> placed;
    while (grid->count() > 0) {
        Placed p{nullptr, 0, 0, 0, 0};
        grid->getItemPosition(0, &p.row, &p.column, &p.rowSpan, &p.columnSpan);
        p.item = grid->takeAt(0);
        placed.push_back(p);
    }
    for (const Placed& p : placed)
        grid->addItem(p.item, p.row + 1, p.column, p.rowSpan, p.columnSpan);
    grid->addWidget(widget, 0, 0, 1, grid->columnCount());
}

// Puts the preview to the right of the folder tree and file list; it follows the file the user
// points at.
void AddPreview(QFileDialog& dialog)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    auto* lists = dialog.findChild<QSplitter*>("splitter");
    const int at = grid != nullptr && lists != nullptr ? grid->indexOf(lists) : -1;
    if (at < 0)
        return;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
    auto* preview = new TFilePreview(&dialog);
    preview->setObjectName("FilePreview");
    grid->addWidget(preview, row, grid->columnCount(), rowSpan, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &TFilePreview::ShowFile);
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty())
        preview->ShowFile(chosen.first());
}

// The 0-based filter in effect. With the brackets hidden the dialog reports the shortened text,
// which two filters may share, so the type list's position is asked first.
int ChosenFilter(const QFileDialog& dialog, const QStringList& filters)
{
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    if (types != nullptr && types->currentIndex() >= 0 && types->currentIndex() < filters.size())
        return types->currentIndex();
    return filters.indexOf(dialog.selectedNameFilter());
}

}  // namespace

SFileDialogResponse SQtPlatform::FileDialog(const SFileDialogRequest& request)
{
    return OnInterfaceThread([&] { return FileDialogHere(request); });
}

SFileDialogResponse SQtPlatform::FileDialogHere(const SFileDialogRequest& request)
{
    SFileDialogResponse response;
    if (!HaveWidgets()) {
        response.result = SDialogResult::Failed;
        return response;
    }
    SAcceptingFileDialog dialog(OwnerFor(request.owner), request.accept);
    dialog.setObjectName("FileDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The descriptions already show their patterns; the bracketed copy Qt needs stays hidden.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    bool save = request.mode == SFileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!request.title.empty())
        dialog.setWindowTitle(Text(request.title));
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(Text(request.defaultExtension));

    QStringList filters;
    for (const auto& [description, pattern] : request.filters)
        filters << FilterText(description, pattern);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        int index = request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex - 1 : 0;
        dialog.selectNameFilter(filters[index]);
    }

    if (!request.initialFile.empty()) {
        QFileInfo initial(Text(request.initialFile));
        if (request.initialFile.find('/') != std::string::npos)
            dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }

    QCheckBox* readOnly = nullptr;
    if (request.readOnly != 0) {
        readOnly = new QCheckBox(QFileDialog::tr("Open as &read-only"), &dialog);
        readOnly->setObjectName("CheckReadOnly");
        readOnly->setChecked(request.readOnly > 0);
        AddDialogRow(dialog, readOnly, false);
    }
    if (!save)
        AddPreview(dialog);

    bool ok = dialog.exec() == QDialog::Accepted;
    if (readOnly != nullptr)
        response.readOnlyTicked = readOnly->isChecked();
    int chosen = ChosenFilter(dialog, filters);
    response.filterIndex = chosen >= 0 ? chosen + 1 : (filters.isEmpty() ? 0 : 1);
    if (!ok)
        return response;
    response.result = SDialogResult::Ok;
    response.paths = dialog.ChosenPaths();
    return response;
}

SFolderDialogResponse SQtPlatform::FolderDialog(const SFolderDialogRequest& request)
{
    return OnInterfaceThread([&] { return FolderDialogHere(request); });
}

SFolderDialogResponse SQtPlatform::FolderDialogHere(const SFolderDialogRequest& request)
{
    SFolderDialogResponse response;
    if (!HaveWidgets()) {
        response.result = SDialogResult::Failed;
        return response;
    }
    QFileDialog dialog(OwnerFor(request.owner));
    dialog.setObjectName("FolderDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (!request.caption.empty())
        dialog.setWindowTitle(Text(request.caption));
    if (!request.initialFolder.empty())
        dialog.setDirectory(Text(request.initialFolder));
    if (!request.prompt.empty()) {
        auto* prompt = new QLabel(Text(request.prompt), &dialog);
        prompt->setObjectName("LabelPrompt");
        prompt->setWordWrap(true);
        AddDialogRow(dialog, prompt, true);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return response;
    response.result = SDialogResult::Ok;
    response.folder = dialog.selectedFiles().first().toStdString();
    return response;
}

SColourDialogResponse SQtPlatform::ColourDialog(const SColourDialogRequest& request)
{
    return OnInterfaceThread([&] { return ColourDialogHere(request); });
}

SColourDialogResponse SQtPlatform::ColourDialogHere(const SColourDialogRequest& request)
{
    SColourDialogResponse response;
    response.customColours = request.customColours;
    if (!HaveWidgets()) {
        response.result = SDialogResult::Failed;
        return response;
    }
    // Qt keeps the custom colours program-wide; they are loaded from the request every time and
    // read back afterwards, so the caller's copy stays the one that counts.
    int custom = std::min<int>(QColorDialog::customCount(), int(request.customColours.size()));
    for (int i = 0; i < custom; ++i) {
        const SColor& c = request.customColours[std::size_t(i)];
        QColorDialog::setCustomColor(i, QColor(c.r, c.g, c.b));
    }
    QColorDialog dialog(QColor(request.colour.r, request.colour.g, request.colour.b), OwnerFor(request.owner));
    dialog.setObjectName("ColourDialog");
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (!request.caption.empty())
        dialog.setWindowTitle(Text(request.caption));
    bool ok = dialog.exec() == QDialog::Accepted;
    for (int i = 0; i < custom; ++i) {
        QColor c = QColorDialog::customColor(i);
        response.customColours[std::size_t(i)] =
            SColor(std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()),
                   request.customColours[std::size_t(i)].t);
    }
    if (!ok)
        return response;
    QColor chosen = dialog.selectedColor();
    response.result = SDialogResult::Ok;
    // The dialog has no transparency; the colour keeps the one it came with.
    response.colour = SColor(std::uint8_t(chosen.red()), std::uint8_t(chosen.green()), std::uint8_t(chosen.blue()),
                             request.colour.t);
    return response;
}

SFileListDialogResponse SQtPlatform::FileListDialog(const SFileListDialogRequest& request)
{
    return OnInterfaceThread([&] { return FileListDialogHere(request); });
}

SFileListDialogResponse SQtPlatform::FileListDialogHere(const SFileListDialogRequest& request)
{
    SFileListDialogResponse response;
    if (!HaveWidgets()) {
        response.result = SDialogResult::Failed;
        return response;
    }
    TFormFileList dialog(request, OwnerFor(request.owner));
    if (dialog.exec() != QDialog::Accepted)
        return response;
    response.result = SDialogResult::Ok;
    response.paths = dialog.Paths();
    return response;
}
