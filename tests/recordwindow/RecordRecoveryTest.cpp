// The recovery copies of unsaved work, without a window: a copy comes back
// with the file it belongs to and that file's stamp, a copy left by an
// earlier run is moved aside so that this run's work never replaces it, a
// damaged copy is refused with its reason, and a removed copy is gone with
// its note.  The user's data folder lies in the test's own temporary folder.
#include "recordwindow/RecordRecovery.h"
#include "record/RecordFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace veltrano;

namespace {

record::Record sampleRecord(const char* order)
{
    record::Record r;
    r.inspection.order = order;
    record::Weld w;
    w.id = "N1";
    w.seam = SeamType::Fillet;
    w.level = QualityLevel::C;
    w.t = {"3.3", false};
    w.l = {"100", false};
    w.b = {"12", false};
    w.bw = {"2", false};
    record::Finding f;
    f.record = 13;
    f.value = {"0.34", false};
    w.findings.push_back(f);
    r.welds.push_back(w);
    return r;
}

class RecordRecovery : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
        ASSERT_TRUE(ownRecoveryCopy().startsWith(m_dir.path()));
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(RecordRecovery, CopyComesBackWithItsFileAndStampUntilRemoved)
{
    const QString recordFile = m_dir.filePath(QStringLiteral("Aufträge/A-4711.vrec"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(recordFile).absolutePath()));
    record::saveRecord(sampleRecord("A-4711"), recordFile.toStdString());
    const auto stamp = record::stampFile(recordFile.toStdString());
    ASSERT_TRUE(stamp);

    struct Case {
        QString file;
        std::optional<record::FileStamp> stamp;
    };
    for (const Case& c : {Case{recordFile, stamp}, Case{QString(), std::nullopt}}) {
        writeRecoveryCopy(ownRecoveryCopy(), sampleRecord("A-4711"), c.file, c.stamp);
        const auto back = readRecoveryCopy(ownRecoveryCopy());
        ASSERT_TRUE(back);
        EXPECT_EQ(record::serializeRecord(*back), record::serializeRecord(sampleRecord("A-4711")));
        const RecoveryCopy note = readRecoveryNote(ownRecoveryCopy());
        EXPECT_EQ(note.file, c.file);
        EXPECT_EQ(note.stamp, c.stamp);
        EXPECT_EQ(note.order, QStringLiteral("A-4711"));

        removeRecoveryCopy(ownRecoveryCopy());
        QString error;
        EXPECT_FALSE(readRecoveryCopy(ownRecoveryCopy(), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("Wiederherstellung"))) << error.toStdString();
        EXPECT_TRUE(readRecoveryNote(ownRecoveryCopy()).file.isEmpty());
    }
}

TEST_F(RecordRecovery, CopiesOfEarlierRunsAreMovedAsideWithTheirNotes)
{
    EXPECT_TRUE(recoveryCopiesOfEarlierRuns(ownRecoveryCopy()).isEmpty());
    // Two runs that ended without closing the window, one after the other.
    for (const char* order : {"E-41", "E-42"}) {
        writeRecoveryCopy(ownRecoveryCopy(), sampleRecord(order), QStringLiteral("/x/%1.vrec").arg(order), {});
        const QStringList copies = recoveryCopiesOfEarlierRuns(ownRecoveryCopy());
        EXPECT_FALSE(QFileInfo::exists(ownRecoveryCopy()));
        EXPECT_FALSE(copies.contains(ownRecoveryCopy()));
    }
    // Each run's copy stays beside the others, with the file it belongs to.
    QStringList orders;
    for (const QString& copy : earlierRecoveryCopies(ownRecoveryCopy())) {
        const RecoveryCopy note = readRecoveryNote(copy);
        EXPECT_EQ(note.file, QStringLiteral("/x/%1.vrec").arg(note.order));
        orders << note.order;
    }
    orders.sort();
    EXPECT_EQ(orders, QStringList({QStringLiteral("E-41"), QStringLiteral("E-42")}));
}

TEST_F(RecordRecovery, DamagedCopyIsRefusedWithTheReason)
{
    writeRecoveryCopy(ownRecoveryCopy(), sampleRecord("A-4711"), QString(), {});
    QFile copy(ownRecoveryCopy());
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly | QIODevice::Truncate));
    copy.write("{\"format\": \"veltrano-record\", \"welds\": [");
    copy.close();
    QString error;
    EXPECT_FALSE(readRecoveryCopy(ownRecoveryCopy(), &error));
    EXPECT_FALSE(error.isEmpty());
}

#ifndef _WIN32
TEST_F(RecordRecovery, APipeUnderTheCopysNameIsRefusedWithoutWaiting)
{
    // Read as a plain file, a pipe nobody writes would hold the start for ever.
    QDir().mkpath(QFileInfo(ownRecoveryCopy()).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(ownRecoveryCopy()).constData(), 0600), 0);
    QString error;
    EXPECT_FALSE(readRecoveryCopy(ownRecoveryCopy(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("keine gewöhnliche Datei"))) << error.toStdString();
    EXPECT_TRUE(readRecoveryNote(ownRecoveryCopy()).order.isEmpty());
    QFile::remove(ownRecoveryCopy());
}
#endif

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
