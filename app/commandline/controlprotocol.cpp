#include "controlprotocol.h"

#include "designernotify.h"
#include "exitstatus.h"

namespace {

const QString ServerBaseName = QStringLiteral("KliqoraControl");

// clang-format off
struct VerbName { ControlProtocol::Verb verb; const char* text; };
constexpr VerbName Verbs[] = {
    {ControlProtocol::Verb::Toggle, "toggle"},
    {ControlProtocol::Verb::Stop,   "stop"},
    {ControlProtocol::Verb::Show,   "show"},
    {ControlProtocol::Verb::Quit,   "quit"},
};
// clang-format on

const char* verbText(ControlProtocol::Verb verb)
{
    for (const VerbName& entry : Verbs) {
        if (entry.verb == verb)
            return entry.text;
    }
    return "";
}

// All of the bytes: a QByteArray alone would be read only up to a NUL.
QString fromUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes.constData(), bytes.size());
}

// Bytes that are not UTF-8 do not survive a round trip through QString.
bool isUtf8(const QByteArray& bytes)
{
    return fromUtf8(bytes).toUtf8() == bytes;
}

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString unescaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        out += next == QLatin1Char('n')   ? QChar(QLatin1Char('\n'))
               : next == QLatin1Char('r') ? QChar(QLatin1Char('\r'))
                                          : next;
    }
    return out;
}

} // namespace

namespace ControlProtocol {

QString serverName()
{
    return perUserSocketName(ServerBaseName);
}

QByteArray encodeRequest(const Request& request)
{
    QByteArray line = verbText(request.verb);
    if (request.verb == Verb::Toggle)
        line += ' ' + request.job.text().toUtf8();
    return line + '\n';
}

std::optional<Request> decodeRequest(const QByteArray& line, QString* problem)
{
    const auto fail = [problem](const char* why) {
        if (problem)
            *problem = QLatin1String(why);
        return std::nullopt;
    };
    QByteArray bytes = line;
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    if (bytes.size() >= MaxRequestBytes)
        return fail("request too long");
    if (!isUtf8(bytes))
        return fail("not UTF-8");
    const QString text = fromUtf8(bytes);
    if (hasControlCharacter(text))
        return fail("control character in the request");
    const int space = text.indexOf(QLatin1Char(' '));
    const QString verb = space < 0 ? text : text.left(space);
    const QString argument = space < 0 ? QString() : text.mid(space + 1);
    for (const VerbName& entry : Verbs) {
        if (verb != QLatin1String(entry.text))
            continue;
        if (entry.verb != Verb::Toggle) {
            if (space >= 0)
                return fail("this request takes no argument");
            return Request{entry.verb, JobSpec()};
        }
        const std::optional<JobSpec> job = JobSpec::parse(argument);
        if (!job)
            return fail("unknown job");
        return Request{Verb::Toggle, *job};
    }
    return fail("unknown request");
}

QByteArray encodeAnswer(const Answer& answer)
{
    const QByteArray head = QByteArray::number(answer.status) + ' ';
    QByteArray body = escaped(answer.text).toUtf8();
    if (head.size() + body.size() + 1 > MaxAnswerBytes) {
        // A very long list of names. An escaped UTF-16 unit takes at most three
        // bytes, so this many units always fit; a split surrogate pair is dropped.
        QString text = answer.text.left(MaxAnswerBytes / 4);
        if (!text.isEmpty() && text.at(text.size() - 1).isHighSurrogate())
            text.chop(1);
        body = escaped(text).toUtf8() + "...";
    }
    return head + body + '\n';
}

std::optional<Answer> decodeAnswer(const QByteArray& line)
{
    if (line.size() < 2 || line.at(1) != ' ')
        return std::nullopt;
    const char status = line.at(0);
    if (status < '0' + ExitStatus::Done || status > '0' + ExitStatus::BadUsage)
        return std::nullopt;
    QByteArray text = line.mid(2);
    if (text.endsWith('\r'))
        text.chop(1);
    return Answer{status - '0', unescaped(fromUtf8(text))};
}

} // namespace ControlProtocol
