#pragma once
// How a second start of the program talks to the running instance: one request
// line, one answer line, on a local socket that only the same user reaches.
//
//   request  "toggle <job>" | "stop" | "show" | "quit", UTF-8, ended by "\n"
//   answer   "<status> <text>", status 0, 1 or 2 (ExitStatus), ended by "\n"
//
// A request line holds at most MaxRequestBytes with its newline, an answer line at
// most MaxAnswerBytes. In the answer's text a backslash is written "\\", a line
// break "\n" and a carriage return "\r", so the text stays on one line.

#include "jobspec.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace ControlProtocol {

constexpr int MaxRequestBytes = 4096;
constexpr int MaxAnswerBytes = 64 * 1024;

// The instance's socket, in the user's own runtime folder.
QString serverName();

enum class Verb
{
    Toggle,
    Stop,
    Show,
    Quit
};

struct Request
{
    Verb verb = Verb::Show;
    JobSpec job; // Toggle only
};

struct Answer
{
    int status = 0;
    QString text;
};

// The line with its newline.
QByteArray encodeRequest(const Request& request);
// A line without its newline (one "\r" before it is allowed). Null when malformed:
// `problem` says why, in a few words.
std::optional<Request> decodeRequest(const QByteArray& line, QString* problem);

QByteArray encodeAnswer(const Answer& answer);
// A line without its newline; null when it is not an answer.
std::optional<Answer> decodeAnswer(const QByteArray& line);

} // namespace ControlProtocol
