#pragma once
// The help and the manual.
//
// The program names its two help files as bare file names, "HI5817.CHM" for
// the help and "HBISO5817.CHM" for the manual, and remembers the one last
// asked for as the application's help file name.  A name is looked for in
// the current folder first, then in the program's folder, then in
// share/veltrano beside that folder.  The program ships each of them as a
// help book in HTML with the same base name ("HI5817.html"): beside itself in
// a portable copy, in share/veltrano when installed.  Such a book is shown in
// the program's own help window with its table of contents.  A file under the
// exact name, in a format of its own, is handed to the desktop's viewer for
// that kind of file.  Whatever cannot be shown gets a notice that names the
// file.

#include <QString>
#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace veltrano {

inline const QString HelpFileName = QStringLiteral("HI5817.CHM");
inline const QString ManualFileName = QStringLiteral("HBISO5817.CHM");

// The help file name last asked for; empty before the first help command.
QString ApplicationHelpFile();

// The folders a help file is looked for in, in order: the current folder,
// the program's folder, and share/veltrano beside the program's folder.
QStringList HelpFolders();

// The path of what shows the help file name: the HTML book of the same base
// name, or else the file of that very name, each matched without regard to
// letter case, from the first folder that has one; empty when none has.
QString FindHelpFile(const QString& name, const QStringList& folders);

// The help command: makes name the application's help file name and shows
// it with its table of contents, or says why it cannot be shown.
void ShowHelpFile(const QString& name, const QStringList& folders = HelpFolders());

// The window that shows a help book: its table of contents beside the page.
class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget* parent = nullptr);

    // Shows the book at path from its beginning; false if it cannot be read.
    bool OpenBook(const QString& path);

    QTreeWidget* Contents = nullptr;
    QTextBrowser* Browser = nullptr;

private:
    void BuildContents();
    void ContentsClick(QTreeWidgetItem* item);
};

// The help window while it is open, else null.
THelpViewer* HelpViewerWindow();

} // namespace veltrano
