// cvdtool: makes database files for Calvedon.
#include "db/errors.h"
#include "tools/createdb.h"
#include "tools/demodata.h"
#include "tools/writetest.h"

#include <QStringList>
#include <cstdio>

namespace {

const char kUsage[] =
    "Usage:\n"
    "  cvdtool create FOLDER\n"
    "      Writes FOLDER/cvd.mdb: the empty tables and the default settings\n"
    "      (hourly rate 40.00, minimum charge 25.00).\n"
    "  cvdtool demo FOLDER [--requests N] [--customers N] [--seed S]\n"
    "      Writes FOLDER/cvd.mdb filled with demo customers, departments, staff,\n"
    "      categories, priorities and N requests (default 500) of the last three\n"
    "      years.  --customers N makes N customers (default: a fixed list of 36;\n"
    "      beyond those the names are made up).  The same seed (default 1) gives\n"
    "      the same records.\n"
    "  cvdtool --help\n"
    "An existing cvd.mdb is never overwritten.  FOLDER is created when missing.\n";

int usageError(const char* what)
{
    std::fprintf(stderr, "cvdtool: %s\n\n%s", what, kUsage);
    return 2;
}

bool readNumber(const QString& text, qlonglong min, qlonglong& value)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok && value >= min;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    if (args.isEmpty() || args[0].startsWith(QLatin1String("--")))
        return usageError("a FOLDER is needed.");
    const QString folder = args.takeFirst();
    try {
        if (command == QLatin1String("create") && args.isEmpty()) {
            std::printf("Created %s\n", qPrintable(cvd::tools::createDatabase(folder)));
            return 0;
        }
        if (command == QLatin1String("demo")) {
            cvd::tools::DemoOptions options;
            while (!args.isEmpty()) {
                const QString option = args.takeFirst();
                qlonglong v = 0;
                if (args.isEmpty())
                    return usageError("an option lacks its value.");
                if (option == QLatin1String("--requests") && readNumber(args.takeFirst(), 0, v) && v <= 100'000'000)
                    options.requests = int(v);
                else if (option == QLatin1String("--customers") && readNumber(args.takeFirst(), 0, v) && v <= 100'000'000)
                    options.customers = int(v);
                else if (option == QLatin1String("--seed") && readNumber(args.takeFirst(), 0, v))
                    options.seed = std::uint64_t(v);
                else
                    return usageError("unknown option or bad number.");
            }
            std::printf("Created %s\n", qPrintable(cvd::tools::createDemoDatabase(folder, options)));
            return 0;
        }
        if (command == QLatin1String("write-test") && args.isEmpty()) {
            cvd::tools::runWriteTest(folder, stdout);
            return 0;
        }
    } catch (const cvd::Error& e) {
        std::fprintf(stderr, "cvdtool: %s\n", qPrintable(e.text()));
        return 1;
    }
    return usageError("unknown command or extra arguments.");
}
