#include "dwlogcommands.h"

#include "adifconverter.h"
#include "dwlogbackup.h"
#include "ctydatreader.h"
#include "logexport.h"
#include "nativelogfile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int BadInput = 2;

struct Command
{
    QString name;
    QString input;
    QHash<QString, QString> values; // options with a value
    QSet<QString> flags;            // options without one
};

struct BadArguments
{
    QString message;
};

Command parse(const QStringList &arguments)
{
    static const QHash<QString, QStringList> valueOptions = {
        {u"import"_s, {u"--out"_s, u"--call1"_s, u"--call2"_s}},
        {u"adif"_s, {u"--out"_s, u"--only-user"_s, u"--call1"_s, u"--call2"_s, u"--oper1"_s, u"--oper2"_s}},
        {u"list"_s, {u"--out"_s, u"--only-user"_s}},
        {u"countries"_s, {u"--out"_s}},
    };
    static const QHash<QString, QStringList> flagOptions = {
        {u"import"_s, {u"--user2"_s, u"--contest"_s, u"--reverse"_s}},
        {u"adif"_s, {u"--contest"_s, u"--reverse"_s}},
        {u"list"_s, {u"--contest"_s, u"--reverse"_s}},
        {u"countries"_s, {}},
    };
    Command command;
    if (arguments.isEmpty())
        throw BadArguments{u"no command given (import, adif, list, countries or backup); see dwlog --help"_s};
    command.name = arguments.first();
    if (!valueOptions.contains(command.name))
        throw BadArguments{u"unknown command \"%1\"; see dwlog --help"_s.arg(command.name)};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        QString value;
        bool hasValue = false;
        if (argument.startsWith(u"--"_s) && argument.contains(u'=')) {
            value = argument.section(u'=', 1);
            argument = argument.section(u'=', 0, 0);
            hasValue = true;
        }
        if (valueOptions[command.name].contains(argument)) {
            if (!hasValue) {
                if (i + 1 >= arguments.size())
                    throw BadArguments{u"option %1 needs a value"_s.arg(argument)};
                value = arguments[++i];
            }
            command.values.insert(argument, value);
        } else if (!hasValue && flagOptions[command.name].contains(argument)) {
            command.flags.insert(argument);
        } else if (argument.startsWith(u'-') && argument != u"-"_s) {
            throw BadArguments{u"unknown option %1 for %2; see dwlog --help"_s.arg(argument, command.name)};
        } else if (command.input.isEmpty()) {
            command.input = argument;
        } else {
            throw BadArguments{u"more than one input file (%1)"_s.arg(argument)};
        }
    }
    if (command.input.isEmpty())
        throw BadArguments{u"%1 needs an input file"_s.arg(command.name)};
    if (!command.values.contains(u"--out"_s) || command.values[u"--out"_s].isEmpty())
        throw BadArguments{u"%1 needs --out FILE (or --out - for standard output)"_s.arg(command.name)};
    if (command.values.contains(u"--only-user"_s)) {
        const QString user = command.values[u"--only-user"_s];
        if (user != u"1"_s && user != u"2"_s)
            throw BadArguments{u"--only-user takes 1 or 2, not \"%1\""_s.arg(user)};
    }
    return command;
}

// Opens the output: a file, or standard output for "-".
bool openOutput(QFile *file, const QString &path, QIODevice::OpenMode mode, QString *error)
{
    const bool ok = path == u"-"_s ? file->open(stdout, QIODevice::WriteOnly) : (file->setFileName(path), file->open(mode));
    if (!ok)
        *error = u"cannot write %1: %2"_s.arg(path, file->errorString());
    return ok;
}

int runImport(const Command &command, QTextStream &out, QTextStream &err)
{
    AdifImportOptions options;
    options.call1 = command.values.value(u"--call1"_s);
    options.call2 = command.values.value(u"--call2"_s);
    options.user2Default = command.flags.contains(u"--user2"_s);
    options.contest = command.flags.contains(u"--contest"_s);
    options.reverse = command.flags.contains(u"--reverse"_s);
    const QString output = command.values[u"--out"_s];
    AdifConverter converter(options);
    AdifImportResult result;
    if (output == u"-"_s) {
        QFile in(command.input);
        if (!in.open(QIODevice::ReadOnly)) {
            err << "dwlog: cannot read " << command.input << ": " << in.errorString() << Qt::endl;
            return BadInput;
        }
        QFile file;
        QString error;
        if (!openOutput(&file, output, QIODevice::WriteOnly, &error)) {
            err << "dwlog: " << error << Qt::endl;
            return BadInput;
        }
        result = converter.convert(&in, &file);
    } else {
        if (!QFile::exists(command.input)) {
            err << "dwlog: cannot read " << command.input << ": no such file" << Qt::endl;
            return BadInput;
        }
        result = converter.convertFile(command.input, output);
    }
    if (!result.error.isEmpty()) {
        err << "dwlog: " << result.error << Qt::endl;
        return BadInput;
    }
    // Standard output carries the records when they go there.
    QTextStream &report = output == u"-"_s ? err : out;
    for (const QString &line : result.message().split(u"\r\n"_s)) {
        if (!line.isEmpty())
            report << line << Qt::endl;
    }
    return 0;
}

int runExport(const Command &command, bool adif, QTextStream &out, QTextStream &err)
{
    NativeLogFile source;
    if (!source.open(command.input)) {
        err << "dwlog: cannot read " << command.input << ": " << source.errorString() << Qt::endl;
        return BadInput;
    }
    LogExportOptions options;
    options.selection.contest = command.flags.contains(u"--contest"_s);
    options.selection.onlyActiveUser = command.values.contains(u"--only-user"_s);
    options.selection.activeUser2 = command.values.value(u"--only-user"_s) == u"2"_s;
    options.reverse = command.flags.contains(u"--reverse"_s);
    options.station = {command.values.value(u"--call1"_s), command.values.value(u"--call2"_s),
                       command.values.value(u"--oper1"_s), command.values.value(u"--oper2"_s)};
    const QString output = command.values[u"--out"_s];
    QFile file;
    QString error;
    if (!openOutput(&file, output, QIODevice::WriteOnly | QIODevice::Truncate, &error)) {
        err << "dwlog: " << error << Qt::endl;
        return BadInput;
    }
    const LogExportResult result = adif ? LogExport::writeAdif(source, &file, options)
                                        : LogExport::writeList(source, &file, options);
    file.close();
    if (!result.error.isEmpty()) {
        err << "dwlog: cannot write " << output << ": " << result.error << Qt::endl;
        return BadInput;
    }
    QTextStream &report = output == u"-"_s ? err : out;
    const QString message = adif ? LogExport::adifSavedMessage(result.written) : LogExport::listSavedMessage(result.written);
    report << message.trimmed() << Qt::endl;
    if (result.unreadable > 0)
        err << "dwlog: " << result.unreadable << " damaged records in " << command.input
            << " were skipped (unreadable, or a band number the keyer does not use)" << Qt::endl;
    return 0;
}

int runCountries(const Command &command, QTextStream &out, QTextStream &err)
{
    const QString output = command.values[u"--out"_s];
    QString error;
    QStringList warnings;
    bool converted = false;
    if (output == u"-"_s) {
        QFile in(command.input);
        QFile file;
        if (!in.open(QIODevice::ReadOnly)) {
            error = u"cannot read %1: %2"_s.arg(command.input, in.errorString());
        } else {
            const CtyDatConversion conversion = convertCtyDat(QString::fromUtf8(in.readAll()));
            warnings = conversion.warnings;
            const QByteArray text = countriesFileText(conversion.entries, QFileInfo(command.input).fileName()).toUtf8();
            if (conversion.entities == 0)
                error = u"%1 holds no country entity"_s.arg(command.input);
            else if (openOutput(&file, output, QIODevice::WriteOnly, &error))
                converted = file.write(text) == text.size();
        }
    } else {
        converted = convertCtyDatFile(command.input, output, &error, &warnings);
    }
    for (const QString &warning : std::as_const(warnings))
        err << "dwlog: " << warning << Qt::endl;
    if (!converted) {
        err << "dwlog: " << error << Qt::endl;
        return BadInput;
    }
    if (output != u"-"_s)
        out << "Countries written to " << output << Qt::endl;
    return 0;
}

} // namespace

QString dwlogHelp()
{
    return uR"(Usage: dwlog COMMAND INPUT --out OUTPUT [options]

Converts Dashwright log files without the manager's window, with the same
code the manager uses. OUTPUT "-" is standard output (the counts then go to
standard error).

Commands:
  import FILE.adi --out FILE.krv [--call1 CALL] [--call2 CALL] [--user2] [--contest] [--reverse]
      Converts an ADIF file into keyer log records and appends them to the
      native log file. Prints the records converted and rejected and the
      numbers of the rejected records (the first 99).
        --call1 CALL   records of station CALL belong to User 1
        --call2 CALL   records of station CALL belong to User 2
        --user2        records of any other station belong to User 2
        --contest      treat every record as a contest record
        --reverse      write the converted records in reverse order

  adif FILE.krv --out FILE.adi [--contest] [--only-user 1|2] [--reverse]
                [--call1 X] [--call2 Y] [--oper1 A] [--oper2 B]
      Writes an ADIF file from a native log file. Prints how many records
      were written.
        --contest      export contest records (default: the other records)
        --only-user N  export only the records of User N
        --reverse      newest record first
        --call1/--call2  STATION_CALLSIGN of User 1's / User 2's records
        --oper1/--oper2  OPERATOR of User 1's / User 2's records

  list FILE.krv --out FILE.txt [--contest] [--only-user 1|2] [--reverse]
      Writes the list file (fixed columns) from a native log file.

  backup --port DEVICE [--baud N] [--out FILE.krv | --dir FOLDER [--keep N]]
      Saves the keyer's whole log into a native log file, as Save Log does
      in the manager (for a nightly backup; not while the manager has the
      port). The file gets its name only when every record has come; an
      incomplete or interrupted (SIGINT, SIGTERM) transfer stops the keyer
      and stays in FILE.krv.partial. Default baud 38400, default file
      backup_YYMMDDHHMMSS.krv in FOLDER (default: here); --keep N keeps the
      newest N of those and removes older ones.

  countries CTY.DAT --out countries.txt
      Turns a country file in the format loggers share (cty.dat) into the
      manager's countries.txt. Prefixes it cannot take are named on
      standard error.

Exit status: 0 done (also when nothing was converted), 2 bad input (missing
or unreadable file, unwritable output, bad option; for backup also no keyer
answering and an incomplete transfer).
)"_s;
}

int runDwlog(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(u"--help"_s) || arguments.contains(u"-h"_s)) {
        out << dwlogHelp();
        return 0;
    }
    if (!arguments.isEmpty() && arguments.first() == u"backup"_s)
        return runBackup(arguments.mid(1), out, err);
    try {
        const Command command = parse(arguments);
        if (command.name == u"import"_s)
            return runImport(command, out, err);
        if (command.name == u"countries"_s)
            return runCountries(command, out, err);
        return runExport(command, command.name == u"adif"_s, out, err);
    } catch (const BadArguments &bad) {
        err << "dwlog: " << bad.message << Qt::endl;
        return BadInput;
    }
}
