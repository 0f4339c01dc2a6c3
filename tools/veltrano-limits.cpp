// veltrano-limits: evaluates welds from the command line, through the same
// catalogue, driver and recalculation walk as the program's window.

#include "catalogue/Catalogue.h"
#include "catalogue/Recalculation.h"
#include "limits/Batch.h"
#include "limits/ExitStatus.h"
#include "limits/Options.h"
#include "limits/Output.h"
#include "limits/ProgramFolder.h"
#include "record/CatalogueRows.h"
#include "record/Check.h"
#include "record/RecordFile.h"

#ifdef VELTRANO_LIMITS_REPORT
#include "recordprint/RecordPrint.h"
#include "report/ReportParameters.h"
#include "report/ReportRenderer.h"
#endif

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>

using namespace veltrano::limits;

namespace {

#ifdef VELTRANO_LIMITS_REPORT
constexpr bool kWithReport = true;
#else
constexpr bool kWithReport = false;
#endif

std::string localeDecimalSeparator()
{
    std::setlocale(LC_NUMERIC, "");
    const std::lconv* lc = std::localeconv();
    std::string sep = lc && lc->decimal_point && *lc->decimal_point ? lc->decimal_point : ".";
    std::setlocale(LC_NUMERIC, "C");
    return sep;
}

// Writes all of text to standard output; false with the reason on standard
// error when it cannot be written (a full disk, a closed pipe).
bool writeOut(std::string_view text)
{
    errno = 0;
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    if (std::cout)
        return true;
    std::cerr << "veltrano-limits: standard output cannot be written: "
              << (errno ? std::strerror(errno) : "write error") << '\n';
    return false;
}

// Standard output for the listing of --check: the text is made safe for the
// terminal (terminalLines) and written on in blocks, so a large record's
// listing is never held as a whole, nor twice (the JSON is one long line).
// A block ends just before an ASCII byte, which never lies inside a UTF-8
// sequence and ends any broken one, so every byte is escaped as in the
// whole text.  After a failed write the rest is dropped; finish() tells
// whether everything reached standard output.
class TerminalOut : public std::streambuf {
public:
    bool finish()
    {
        writeBlock(m_pending.size());
        return !m_failed;
    }

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char ch = traits_type::to_char_type(c);
            append(std::string_view(&ch, 1));
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        append(std::string_view(s, static_cast<std::size_t>(n)));
        return n;
    }

private:
    static constexpr std::size_t kBlock = 64 * 1024;

    void append(std::string_view s)
    {
        if (m_failed)
            return;
        m_pending += s;
        if (m_pending.size() >= kBlock) {
            std::size_t cut = m_pending.size() - 1;
            while (cut > 0 && static_cast<unsigned char>(m_pending[cut]) >= 0x80)
                --cut;
            writeBlock(cut);
        }
    }

    void writeBlock(std::size_t n)
    {
        if (!m_failed && n && !writeOut(terminalLines(std::string_view(m_pending).substr(0, n))))
            m_failed = true;
        m_pending.erase(0, n);
    }

    std::string m_pending;
    bool m_failed = false;
};

#ifdef VELTRANO_LIMITS_REPORT
// The evaluation report of this weld: the header as the window's fields
// show it, the results those of the pass just run.
int writeReport(const std::string& target, const Options& options, const veltrano::Recalculation& recalculation,
                const std::string& separator)
{
    namespace report = veltrano::report;
    const auto params =
        report::buildReportParameters(report::reportInputsFor(options.weld, static_cast<int>(options.level), separator),
                                      recalculation.state().aResult);
    QString error;
    if (!report::writeReportPdf(QString::fromLocal8Bit(target.c_str()), params, &error)) {
        std::cerr << "veltrano-limits: " << terminalLines(error.toStdString()) << '\n';
        return kOutputError;
    }
    return kSuccess;
}
#endif

// Whether the output file is one of the inputs (the record, the catalogue):
// the same file after every link is followed, or a second name of it.  An
// output that does not exist yet is none of them.
bool isInput(const std::string& output, const std::filesystem::path& input)
{
    std::error_code ec;
    return output != "-" && std::filesystem::equivalent(std::filesystem::u8path(output), input, ec) && !ec;
}

int run(int argc, char** argv, bool& checking)
{
    const ParsedCommandLine parsed = parseCommandLine(argc, argv, kWithReport);
    checking = parsed.options && parsed.options->check;
    if (!parsed.options) {
        if (!parsed.err.empty())
            std::cerr << parsed.err;
        if (!parsed.out.empty() && !writeOut(parsed.out))
            return kOutputError;
        return parsed.exitStatus;
    }
    const Options& options = *parsed.options;

    const std::filesystem::path file = options.catalogue ? std::filesystem::path(*options.catalogue)
                                                         : veltrano::findCatalogueFile(programFolder(argv[0]));
    const std::string separator = options.separator ? *options.separator : localeDecimalSeparator();

    // The PDF would replace the file it is made from: refused before anything
    // is read or written.
    if (options.pdf) {
        const char* which = nullptr;
        if (options.check && isInput(*options.pdf, std::filesystem::u8path(*options.check)))
            which = "the inspection record";
        else if (isInput(*options.pdf, file))
            which = "the catalogue";
        if (which) {
            std::cerr << "veltrano-limits: --pdf " << terminalLines(*options.pdf) << " is " << which
                      << " that is read; the PDF would replace it. Nothing was written.\n";
            return kUsageError;
        }
    }

    if (options.check) {
        // The verdicts of an inspection record, judged on this catalogue's rows.
        veltrano::Catalogue catalogue(file);
        try {
            catalogue.Open();
        } catch (const veltrano::CatalogueError& e) {
            std::cerr << "veltrano-limits: " << e.what() << '\n';
            return kCatalogueError;
        }
        namespace record = veltrano::record;
        record::CheckOptions check;
        check.format =
            options.format == Format::Json ? record::CheckOptions::Format::Json : record::CheckOptions::Format::Table;
        check.decimalSeparator = separator;
        const record::CatalogueRowsOf<veltrano::Catalogue> rows(catalogue);
        // Read once, judged once: the listing, the printed record and the
        // exit status are all of this one reading, even when the file
        // changes meanwhile or is a pipe.
        record::Record loaded;
        try {
            loaded = record::loadRecord(std::filesystem::u8path(*options.check));
        } catch (const record::RecordError& e) {
            std::cerr << "veltrano-limits: " << terminalLines(e.what()) << '\n';
            return record::kCheckUnreadable;
        }
        const record::RecordVerdict verdict = record::judgeRecord(loaded, rows, separator);
        const int status = record::exitStatus(verdict.verdict);
#ifdef VELTRANO_LIMITS_REPORT
        if (options.pdf) {
            // The printed record, signed off on paper; which catalogue gave
            // the limits is printed as its SHA-256.  Its reasons write the
            // numbers with the decimal comma: the same record's verdict,
            // with its numbers spelt for the paper.  The pages name the
            // record file as the window's print does.
            const record::RecordVerdict printed = separator == "," ? verdict : record::judgeRecord(loaded, rows, ",");
            QString error;
            if (!veltrano::recordprint::writeRecordPdf(QString::fromLocal8Bit(options.pdf->c_str()), loaded, printed,
                                                       rows, veltrano::recordprint::fileSha256(file), &error,
                                                       QString::fromUtf8(options.check->c_str()))) {
                std::cerr << "veltrano-limits: " << terminalLines(error.toStdString()) << '\n';
                return kOutputError;
            }
            if (!options.formatGiven)
                return status;
        }
#endif
        // The record's own texts (locations, remarks) reach the terminal
        // only with their control characters escaped.
        TerminalOut terminal;
        std::ostream out(&terminal);
        record::writeCheck(out, std::filesystem::u8path(*options.check).string(), loaded, verdict, rows, check);
        return terminal.finish() ? status : kOutputError;
    }

    std::optional<veltrano::Recalculation> recalculation;
    try {
        recalculation.emplace(file, separator);
    } catch (const veltrano::CatalogueError& e) {
        std::cerr << "veltrano-limits: " << e.what() << '\n';
        return kCatalogueError;
    }

    if (options.batch) {
        const BatchResult result = runBatch(std::cin, std::cout, *recalculation);
        if (result.outputFailed) {
            std::cerr << "veltrano-limits: standard output cannot be written: " << result.outputError << '\n';
            return kOutputError;
        }
        return kSuccess;
    }

    const auto results = recalculation->run(options.weld, options.level);
#ifdef VELTRANO_LIMITS_REPORT
    if (options.pdf) {
        if (const int status = writeReport(*options.pdf, options, *recalculation, separator); status != kSuccess)
            return status;
        if (!options.formatGiven)
            return kSuccess;
    }
#endif
    const std::string text =
        formatResults(options.format, recalculation->catalogue(), veltrano::limitColumn(options.level), results);
    return writeOut(text) ? kSuccess : kOutputError;
}

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
#ifdef SIGPIPE
    // A closed pipe is reported like any other output that cannot be written.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // Memory that runs out (a record of millions of findings) is a message
    // like any other, never an abort: the record cannot be judged, or the
    // output cannot be made.
    bool checking = false;
    try {
        return run(argc, argv, checking);
    } catch (const std::bad_alloc&) {
        std::cerr << "veltrano-limits: not enough memory\n";
        return checking ? veltrano::record::kCheckUnreadable : kOutputError;
    }
}
