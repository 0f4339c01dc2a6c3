// The help commands: where a help file is found, the help file name they
// leave behind, the notice for a missing file, and the shipped books.

#include "ModalAnswerer.h"
#include "help/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

using namespace veltrano;
using namespace veltrano::test;

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html><head><title>t</title></head><body><h1><a name=\"a\">A</a></h1></body></html>");
}

const QString shippedBooks = QStringLiteral(VELTRANO_HELP_SOURCE_DIR);

} // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { delete HelpViewerWindow(); }

    void lookup_data()
    {
        QTest::addColumn<QStringList>("inCurrent");
        QTest::addColumn<QStringList>("inProgram");
        QTest::addColumn<QString>("found"); // "current/..." or "program/...", empty for none

        QTest::newRow("book beside the program")
            << QStringList{} << QStringList{"HI5817.html"} << "program/HI5817.html";
        QTest::newRow("current folder first")
            << QStringList{"HI5817.html"} << QStringList{"HI5817.html"} << "current/HI5817.html";
        QTest::newRow("letter case ignored") << QStringList{} << QStringList{"hi5817.HTM"} << "program/hi5817.HTM";
        QTest::newRow("file of the exact name") << QStringList{} << QStringList{"hi5817.chm"} << "program/hi5817.chm";
        QTest::newRow("book before the exact name")
            << QStringList{} << QStringList{"HI5817.CHM", "HI5817.html"} << "program/HI5817.html";
        QTest::newRow("the other book is no match")
            << QStringList{"HBISO5817.html"} << QStringList{"HI5817.txt"} << QString();
    }

    void lookup()
    {
        QFETCH(QStringList, inCurrent);
        QFETCH(QStringList, inProgram);
        QFETCH(QString, found);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QDir(root.path()).mkpath(QStringLiteral("current"));
        QDir(root.path()).mkpath(QStringLiteral("program"));
        for (const QString& name : inCurrent)
            touch(root.filePath(QStringLiteral("current/") + name));
        for (const QString& name : inProgram)
            touch(root.filePath(QStringLiteral("program/") + name));

        const QString path = FindHelpFile(
            HelpFileName, {root.filePath(QStringLiteral("current")), root.filePath(QStringLiteral("program"))});
        QCOMPARE(path, found.isEmpty() ? QString() : QDir(root.path()).absoluteFilePath(found));
    }

    // An installed program keeps its books in share/veltrano beside its bin
    // folder; a portable copy beside itself, which comes first.
    void foldersInOrder()
    {
        const QString programDir = QCoreApplication::applicationDirPath();
        QCOMPARE(HelpFolders(), (QStringList{QDir::currentPath(), programDir,
                                             QFileInfo(programDir).dir().filePath(QStringLiteral("share/veltrano"))}));
    }

    void missingFileNamedInANotice()
    {
        QTemporaryDir empty;
        ModalAnswerer watch;
        watch.answerEveryBox(pressKey(Qt::Key_Return));
        ShowHelpFile(ManualFileName, {empty.path()});
        QCOMPARE(watch.answered().size(), std::size_t(1));
        const SeenWindow& box = watch.answered().front();
        QCOMPARE(box.title, QStringLiteral("Hinweis"));
        QCOMPARE(box.icon, QMessageBox::Information);
        QVERIFY2(box.text.contains(QStringLiteral("HBISO5817.CHM")), qPrintable(box.text));
        QVERIFY2(box.text.contains(QDir::toNativeSeparators(empty.path())), qPrintable(box.text));
        QCOMPARE(HelpViewerWindow(), nullptr);
        QCOMPARE(ApplicationHelpFile(), ManualFileName); // named even though not found
    }

    void helpFileNameFollowsTheLastCommand()
    {
        ModalAnswerer watch;
        watch.answerEveryBox(pressKey(Qt::Key_Return));
        ShowHelpFile(HelpFileName, {shippedBooks});
        QCOMPARE(ApplicationHelpFile(), HelpFileName);
        THelpViewer* viewer = HelpViewerWindow();
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Veltrano – Hilfe"));

        ShowHelpFile(ManualFileName, {shippedBooks});
        QCOMPARE(ApplicationHelpFile(), ManualFileName);
        QCOMPARE(HelpViewerWindow(), viewer); // one help window, now on the manual
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Veltrano – Handbuch"));

        ShowHelpFile(HelpFileName, {shippedBooks});
        QCOMPARE(ApplicationHelpFile(), HelpFileName);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Veltrano – Hilfe"));
        QVERIFY(watch.answered().empty());
    }

    void shippedBooksHold_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("help") << HelpFileName;
        QTest::newRow("manual") << ManualFileName;
    }

    // Every heading is in the contents and can be reached; every link leads
    // to an anchor of its book or to a shipped book.
    void shippedBooksHold()
    {
        QFETCH(QString, name);
        ShowHelpFile(name, {shippedBooks});
        THelpViewer* viewer = HelpViewerWindow();
        QVERIFY(viewer);
        QVERIFY(viewer->Contents->topLevelItemCount() >= 5);

        QSet<QString> anchors;
        QStringList links;
        const QTextDocument* doc = viewer->Browser->document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                for (const QString& anchor : format.anchorNames())
                    anchors.insert(anchor);
                if (format.isAnchor() && !format.anchorHref().isEmpty())
                    links << format.anchorHref();
            }
        }
        QTreeWidgetItemIterator item(viewer->Contents);
        for (; *item; ++item) {
            const QString anchor = (*item)->data(0, Qt::UserRole).toString();
            QVERIFY2(anchors.contains(anchor), qPrintable((*item)->text(0)));
        }
        for (const QString& link : links) {
            const QUrl url(link);
            if (!url.path().isEmpty())
                QVERIFY2(QFile::exists(QDir(shippedBooks).filePath(url.path())), qPrintable(link));
            if (url.hasFragment() && url.path().isEmpty())
                QVERIFY2(anchors.contains(url.fragment()), qPrintable(link));
        }

        // The last chapter lies below the first screen: choosing it scrolls.
        viewer->resize(700, 300);
        QCoreApplication::processEvents();
        QScrollBar* scroll = viewer->Browser->verticalScrollBar();
        scroll->setValue(0);
        QTreeWidgetItem* last = viewer->Contents->topLevelItem(viewer->Contents->topLevelItemCount() - 1);
        viewer->Contents->itemClicked(last, 0);
        QVERIFY(scroll->value() > 0);
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
