#include "Options.h"

#include "ExitStatus.h"
#include "WeldText.h"

#include <CLI/CLI.hpp>

namespace veltrano::limits {

namespace {

const char* const kFooter =
    "Without --batch, all weld options from --seam to --bw are required. Numbers are written with a dot;\n"
    "the results use the decimal separator of the user's locale unless --decimal-separator says otherwise.\n"
    "\n"
    "--check FILE judges every finding of an inspection record file and prints the verdict of each finding,\n"
    "weld and of the record (--format table or json); with --pdf OUT it writes the printed record instead\n"
    "(and lists the verdicts as well only when --format is given).\n"
    "\n"
    "--batch reads one weld per line from standard input as a JSON object, for example\n"
    "  {\"seam\":\"butt\",\"level\":\"C\",\"t\":10,\"l\":100,\"b\":12,\"bw\":2,\"welder_test\":false,\"rail_bridge\":false}\n"
    "and writes one line per input line, in order: {\"results\":[...]} or {\"error\":\"...\",\"line\":N}.\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  2  a missing, repeated or bad option; a --pdf output that is a file read (the record, the catalogue)\n"
    "  3  the catalogue cannot be opened\n"
    "  4  an output cannot be written (standard output, the PDF file, a folder as target); the reason on stderr\n"
    "With --check FILE (an inspection record), the verdict of the record:\n"
    "  0  accepted\n"
    "  1  rejected\n"
    "  6  open: nothing rejected, but something awaits the inspector\n"
    "  5  the record file cannot be read or is not a valid record\n";

} // namespace

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, bool withReport)
{
    ParsedCommandLine parsed;
    Options o;
    std::string seam, level, t, l, b, bw, format;
    bool welderTest = false, railBridge = false;

    CLI::App app("Evaluates every catalogue record of DIN EN ISO 5817 for one weld, exactly as the program's "
                 "recalculation does.",
                 "veltrano-limits");
    app.set_version_flag("--version", std::string("veltrano-limits ") + VELTRANO_VERSION);
    app.footer(kFooter);
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);

    app.add_option("--catalogue", o.catalogue, "the catalogue file (default: ISO5817.mdb beside the program)")
        ->type_name("FILE");
    app.add_option("--seam", seam, "butt, fillet or none")->type_name("butt|fillet|none");
    app.add_option("--level", level, "quality level")->type_name("B|C|D");
    app.add_option("--t", t, "thickness t (fillet weld: throat thickness a), 0.5 to 1000 in steps of 0.5 mm")
        ->type_name("T");
    app.add_option("--l", l, "seam length, 1 to 1000 in whole millimetres")->type_name("L");
    app.add_option("--b", b, "seam width, 1 to 100 in whole millimetres")->type_name("B");
    app.add_option("--bw", bw, "root width, 1 to 50 in steps of 0.5 mm")->type_name("BW");
    auto* welder = app.add_flag("--welder-test", welderTest, "assessed for a welder qualification test (DIN EN 287-1)");
    auto* rail = app.add_flag("--rail-bridge", railBridge, "assessed for railway bridges (Ril 804.4101 Tabelle 3)");
    auto* batch = app.add_flag("--batch", o.batch, "read welds from standard input, one JSON object per line");
    app.add_option("--decimal-separator", o.separator, "decimal separator of the results")->type_name("SEP");
    auto* formatOption = app.add_option("--format", format, "output format (default: table)")
                             ->type_name("table|tsv|json");
    app.add_option("--check", o.check, "judge the findings of an inspection record file")->type_name("FILE");
    auto* pdf = app.add_option("--pdf", o.pdf, "write the evaluation report of the weld, or with --check the printed "
                                               "record, to FILE (- for standard output)")
                    ->type_name("FILE");
    for (auto* flag : {welder, rail, batch})
        flag->multi_option_policy(CLI::MultiOptionPolicy::Throw);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        parsed.out = app.help();
        return parsed;
    } catch (const CLI::CallForVersion&) {
        parsed.out = std::string("veltrano-limits ") + VELTRANO_VERSION + "\n";
        return parsed;
    } catch (const CLI::ParseError& e) {
        parsed.exitStatus = kUsageError;
        parsed.err = std::string("veltrano-limits: ") + e.what() + "\nRun veltrano-limits --help for the options.\n";
        return parsed;
    }

    try {
        if (formatOption->count()) {
            if (format == "table")
                o.format = Format::Table;
            else if (format == "tsv")
                o.format = Format::Tsv;
            else if (format == "json")
                o.format = Format::Json;
            else
                throw UsageError("--format accepts table, tsv or json");
            o.formatGiven = true;
        }
        if (o.separator && o.separator->empty())
            throw UsageError("--decimal-separator accepts a non-empty text, for example , or .");
        if (pdf->count()) {
            if (!withReport)
                throw UsageError("--pdf needs a build with the windowed parts (VELTRANO_WITH_GUI)");
            if (o.pdf->empty())
                throw UsageError("--pdf needs a file name, or - for standard output");
        }
        bool weldOptions = false;
        for (const char* name : {"--seam", "--level", "--t", "--l", "--b", "--bw", "--welder-test", "--rail-bridge"})
            weldOptions = weldOptions || app.get_option(name)->count() > 0;
        if (o.check) {
            if (weldOptions || o.batch)
                throw UsageError("--check reads the welds from the record file and takes no weld options or --batch");
            if (o.format == Format::Tsv)
                throw UsageError("--check accepts --format table or json");
            if (o.check->empty())
                throw UsageError("--check needs a record file");
            if (o.pdf && *o.pdf == "-" && o.formatGiven)
                throw UsageError("--pdf - writes the record to standard output and cannot be used with --format");
        } else if (o.batch) {
            if (weldOptions)
                throw UsageError("--batch reads the welds from standard input and takes no weld options");
            if (o.pdf)
                throw UsageError("--pdf writes the report of one weld and cannot be used with --batch");
            if (o.format != Format::Json)
                throw UsageError("--batch needs --format json");
        } else {
            for (const char* name : {"--seam", "--level", "--t", "--l", "--b", "--bw"})
                if (!app.get_option(name)->count())
                    throw UsageError(std::string("missing option ") + name);
            if (o.pdf && *o.pdf == "-" && o.formatGiven)
                throw UsageError("--pdf - writes the report to standard output and cannot be used with --format");
            o.weld.seamType = seamFromText(seam, "--");
            o.level = levelFromText(level, "--");
            o.weld.t = dimensionFromText(t, kRangeT, "--");
            o.weld.l = dimensionFromText(l, kRangeL, "--");
            o.weld.b = dimensionFromText(b, kRangeB, "--");
            o.weld.bw = dimensionFromText(bw, kRangeBw, "--");
            o.weld.welderTest = welderTest;
            o.weld.railBridge = railBridge;
        }
    } catch (const UsageError& e) {
        parsed.exitStatus = kUsageError;
        parsed.err = std::string("veltrano-limits: ") + e.what() + "\nRun veltrano-limits --help for the options.\n";
        return parsed;
    }
    parsed.options = std::move(o);
    return parsed;
}

} // namespace veltrano::limits
