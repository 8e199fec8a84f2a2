// The running instance's control socket: whatever a client sends, in one piece or
// two, staying or going, the real server answers it exactly once (or the client has
// gone), hands on only the requests that decode, and forgets the connection.
//
// Input: a flags byte, a split byte, then the bytes sent. Flag bit 0 sends them in
// two writes split at the split byte; bit 1 makes the client leave right after.

#include "commandline/controlserver.h"
#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>

#include <memory>
#include <vector>

namespace {

constexpr char SplitWrite = 0x01;
constexpr char LeaveAtOnce = 0x02;
constexpr int AnswerTimeoutMs = 5000;
// Unfinished lines are dropped after this; short, so such inputs stay fast.
constexpr int ServerTimeoutMs = 30;

std::unique_ptr<ControlServer> server;
// The requests the server handed on, oldest first.
std::vector<ControlProtocol::Request> handedOn;

void waitFor(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// One request of its own, answered: the server has dealt with every earlier
// connection, whose data was there when it accepted them. Its own request is taken
// off the list again.
void sync()
{
    // The sync's own line is whole, but a loaded machine may read it later than the
    // short deadline the fuzzed connections get.
    server->setTimeoutMs(AnswerTimeoutMs);
    QLocalSocket client;
    client.connectToServer(server->fullServerName());
    if (!client.waitForConnected(AnswerTimeoutMs))
        fuzz::fail("the control server does not accept");
    client.write("show\n");
    client.flush();
    waitFor([&] { return client.bytesAvailable() > 0; });
    server->setTimeoutMs(ServerTimeoutMs);
    if (!client.readAll().startsWith("0 "))
        fuzz::fail("the server stopped answering");
    client.abort();
    if (handedOn.empty() || handedOn.back().verb != ControlProtocol::Verb::Show)
        fuzz::fail("the sync's own request was not handed on last");
    handedOn.pop_back();
}

// What the server must make of the bytes: the request of the first line, if any.
std::optional<ControlProtocol::Request> expectedRequest(const QByteArray& bytes)
{
    const int newline = bytes.indexOf('\n');
    if (newline < 0 || newline >= ControlProtocol::MaxRequestBytes)
        return std::nullopt;
    return ControlProtocol::decodeRequest(bytes.left(newline), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    server = std::make_unique<ControlServer>([](const ControlProtocol::Request& request) {
        handedOn.push_back(request);
        return ControlProtocol::Answer{0, QStringLiteral("done")};
    });
    server->setTimeoutMs(ServerTimeoutMs);
    if (!server->listen(ControlProtocol::serverName()))
        fuzz::fail("the control server does not listen");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const char flags = char(data[0]);
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 2, int(size) - 2);
    const int split = bytes.isEmpty() ? 0 : data[1] % bytes.size();

    handedOn.clear();
    QLocalSocket client;
    client.connectToServer(server->fullServerName());
    if (!client.waitForConnected(AnswerTimeoutMs))
        fuzz::fail("the control server does not accept");
    if (flags & SplitWrite) {
        client.write(bytes.left(split));
        client.flush();
        QCoreApplication::processEvents();
        client.write(bytes.mid(split));
    } else {
        client.write(bytes);
    }
    client.flush();

    const std::optional<ControlProtocol::Request> expected = expectedRequest(bytes);
    if (flags & LeaveAtOnce) {
        client.abort();
        sync();
    } else {
        QByteArray answer;
        waitFor([&] {
            answer += client.readAll();
            return answer.contains('\n') || client.state() == QLocalSocket::UnconnectedState;
        });
        answer += client.readAll();
        if (answer.count('\n') != 1 || !answer.endsWith('\n'))
            fuzz::fail("not exactly one answer line");
        const std::optional<ControlProtocol::Answer> decoded =
            ControlProtocol::decodeAnswer(answer.chopped(1));
        if (!decoded || decoded->status != (expected ? 0 : 2))
            fuzz::fail("the answer does not fit the request");
        client.abort();
    }
    waitFor([] { return server->connectionCount() == 0; });
    if (server->connectionCount() != 0)
        fuzz::fail("a connection was never forgotten");
    // A client that left at once may have gone before its line was read.
    const int handled = int(handedOn.size());
    if (handled > (expected ? 1 : 0) || (!(flags & LeaveAtOnce) && handled != (expected ? 1 : 0)))
        fuzz::fail("a request was handed on that should not have been, or one was lost");
    if (handled == 1 && ControlProtocol::encodeRequest(handedOn.front()) !=
                            ControlProtocol::encodeRequest(*expected))
        fuzz::fail("the request handed on differs from the one sent");
    return 0;
}
