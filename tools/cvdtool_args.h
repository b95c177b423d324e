#pragma once
// The command line of one cvdtool command, read by QCommandLineParser: its
// options and its positional arguments, its generated --help, and the one
// sentence that a wrong argument gets.
#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <optional>

namespace cvd::tools {

// Reads `args` (those after the command's name) into `parser`, which holds
// the command's options.  `syntax` follows "cvdtool COMMAND" in the usage
// line, `description` tells what the command does.  Returns the exit status
// when the command is not to run: 0 after printing its help (--help, -h),
// else what `refuse` returns for the sentence that names the wrong argument
// (an option the command lacks, or one whose value is missing).
inline std::optional<int> readCommandLine(QCommandLineParser& parser, const QString& command, const QString& syntax,
                                          const QString& description, const QStringList& args,
                                          const std::function<int(const QString&)>& refuse)
{
    const QCommandLineOption help = parser.addHelpOption();
    parser.setApplicationDescription(description);
    if (!parser.parse(QStringList{QStringLiteral("cvdtool")} + args)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().constFirst();
            return refuse(QStringLiteral("'%1%2' is not an option of cvdtool %3.")
                              .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name, command));
        }
        // The only other fault: an option that takes a value ends the line.
        return refuse(QStringLiteral("%1 needs a value.").arg(args.constLast()));
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u'\n'), QStringLiteral("Usage: cvdtool %1 %2").arg(command, syntax));
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    return std::nullopt;
}

} // namespace cvd::tools
