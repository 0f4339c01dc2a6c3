#include "help/HelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPointer>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace veltrano {

namespace {

QString theHelpFile;
QPointer<THelpViewer> theViewer;

void showNotice(const QString& text)
{
    QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Hinweis"), text);
}

bool isBook(const QFileInfo& file)
{
    const QString suffix = file.suffix().toLower();
    return suffix == QLatin1String("html") || suffix == QLatin1String("htm");
}

THelpViewer* viewer()
{
    if (!theViewer) {
        theViewer = new THelpViewer;
        theViewer->setAttribute(Qt::WA_DeleteOnClose);
        // The help window has no owner; it must not outlive the program.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, theViewer.data(), [] { delete theViewer.data(); });
    }
    return theViewer;
}

} // namespace

QString ApplicationHelpFile()
{
    return theHelpFile;
}

QStringList HelpFolders()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return {QDir::currentPath(), programDir, QDir::cleanPath(programDir + QStringLiteral("/../share/veltrano"))};
}

QString FindHelpFile(const QString& name, const QStringList& folders)
{
    const QString base = QFileInfo(name).completeBaseName();
    for (const QString& folder : folders) {
        const QFileInfoList found = QDir(folder).entryInfoList(
            {base + QStringLiteral(".html"), base + QStringLiteral(".htm"), name}, QDir::Files, QDir::Name);
        for (const QFileInfo& file : found)
            if (isBook(file))
                return file.absoluteFilePath();
        for (const QFileInfo& file : found)
            if (file.fileName().compare(name, Qt::CaseInsensitive) == 0)
                return file.absoluteFilePath();
    }
    return {};
}

void ShowHelpFile(const QString& name, const QStringList& folders)
{
    theHelpFile = name;
    const QString path = FindHelpFile(name, folders);
    if (path.isEmpty()) {
        QStringList searched;
        for (const QString& folder : folders)
            searched << QDir::toNativeSeparators(folder);
        searched.removeDuplicates(); // started from the program's own folder
        showNotice(QStringLiteral("Die Hilfedatei %1 wurde nicht gefunden.\n\nGesucht in:\n%2")
                       .arg(name, searched.join(QLatin1Char('\n'))));
        return;
    }
    if (!isBook(QFileInfo(path))) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            showNotice(QStringLiteral("Für die Hilfedatei %1 ist kein Anzeigeprogramm eingerichtet.")
                           .arg(QDir::toNativeSeparators(path)));
        return;
    }
    THelpViewer* window = viewer();
    if (!window->OpenBook(path)) {
        showNotice(QStringLiteral("Die Hilfedatei %1 kann nicht gelesen werden.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

THelpViewer* HelpViewerWindow()
{
    return theViewer;
}

THelpViewer::THelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(820, 600);

    auto* tools = new QToolBar(this);
    tools->setAccessibleName(QStringLiteral("Bl\u00E4ttern"));
    Contents = new QTreeWidget;
    Contents->setObjectName(QStringLiteral("Contents"));
    Contents->setHeaderLabel(QStringLiteral("Inhalt"));
    Contents->setAccessibleName(QStringLiteral("Inhalt"));
    Contents->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Browser = new QTextBrowser;
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setAccessibleName(QStringLiteral("Hilfeseite"));
    Browser->setOpenExternalLinks(true);

    QAction* back = tools->addAction(QStringLiteral("Zurück"), Browser, &QTextBrowser::backward);
    QAction* forward = tools->addAction(QStringLiteral("Vorwärts"), Browser, &QTextBrowser::forward);
    tools->addAction(QStringLiteral("Anfang"), Browser, &QTextBrowser::home);
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(Browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto* split = new QSplitter;
    split->addWidget(Contents);
    split->addWidget(Browser);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 600});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(split);

    connect(Contents, &QTreeWidget::itemActivated, this, &THelpViewer::ContentsClick);
    connect(Contents, &QTreeWidget::itemClicked, this, &THelpViewer::ContentsClick);
    // A link may lead into the other book: its contents follow the page.
    connect(Browser, &QTextBrowser::sourceChanged, this, &THelpViewer::BuildContents);
}

bool THelpViewer::OpenBook(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return false;
    Browser->clearHistory();
    Browser->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    Browser->clearHistory();
    return true;
}

void THelpViewer::BuildContents()
{
    Contents->clear();
    const QTextDocument* doc = Browser->document();
    setWindowTitle(doc->metaInformation(QTextDocument::DocumentTitle));

    // Headings of level 1 and 2 make the tree, each under the last heading
    // of the level above; a heading is reached through the anchor it holds.
    QTreeWidgetItem* chapter = nullptr;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2)
            continue;
        QString anchor;
        for (auto it = block.begin(); !it.atEnd() && anchor.isEmpty(); ++it) {
            const QStringList names = it.fragment().charFormat().anchorNames();
            if (!names.isEmpty())
                anchor = names.first();
        }
        auto* item = level == 1 || !chapter ? new QTreeWidgetItem(Contents) : new QTreeWidgetItem(chapter);
        item->setText(0, block.text().simplified());
        item->setData(0, Qt::UserRole, anchor);
        if (level == 1)
            chapter = item;
    }
    Contents->expandAll();
}

void THelpViewer::ContentsClick(QTreeWidgetItem* item)
{
    Browser->scrollToAnchor(item->data(0, Qt::UserRole).toString());
}

} // namespace veltrano
