#pragma once
// Runs veltrano-limits as a user would, through a portable process runner.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <string>

namespace veltrano::test {

struct ToolRun {
    int status = -1; // exit status; -1 when the tool did not end normally
    std::string out;
    std::string err;
};

// args are split at blanks (the tests' arguments hold none of their own).
inline ToolRun runTool(const QStringList& args, const QByteArray& input = {})
{
    QProcess tool;
    tool.start(QStringLiteral(VELTRANO_LIMITS_TOOL), args);
    tool.waitForStarted();
    if (!input.isEmpty())
        tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished(300000);
    ToolRun r;
    r.status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    r.out = tool.readAllStandardOutput().toStdString();
    r.err = tool.readAllStandardError().toStdString();
    return r;
}

inline ToolRun run(const std::string& args, const std::string& input = {})
{
    return runTool(QString::fromStdString(args).split(' ', Qt::SkipEmptyParts), QByteArray::fromStdString(input));
}

} // namespace veltrano::test
