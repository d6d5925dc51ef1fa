// Framing and values of rigctld's extended replies, and the host:port rule of a rigctld address.
#include "rigserver/rigctld/RigctldAddress.h"
#include "rigserver/rigctld/RigctldProtocol.h"

#include <QTest>

using State = RigctldReplyReader::State;
Q_DECLARE_METATYPE(State)

class TestRigctldProtocol : public QObject {
    Q_OBJECT

private slots:
    void framing_data();
    void framing();
    void sameReplyInAnyPieces();
    void endlessInputIsRefused_data();
    void endlessInputIsRefused();
    void frequencies_data();
    void frequencies();
    void ptt_data();
    void ptt();
    void hostPort_data();
    void hostPort();
};

void TestRigctldProtocol::framing_data()
{
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<State>("state");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("frequency");

    QTest::newRow("get_freq") << QByteArray("get_freq") << QByteArray("get_freq:\nFrequency: 14074000\nRPRT 0\n")
                              << State::Complete << 0 << "14074000";
    QTest::newRow("CRLF") << QByteArray("get_freq") << QByteArray("get_freq:\r\nFrequency: 7074000\r\nRPRT 0\r\n")
                          << State::Complete << 0 << "7074000";
    QTest::newRow("error code") << QByteArray("set_freq") << QByteArray("set_freq: abc\nRPRT -1\n")
                                << State::Complete << -1 << "";
    QTest::newRow("bare RPRT") << QByteArray("get_ptt") << QByteArray("RPRT -11\n") << State::Complete << -11 << "";
    QTest::newRow("half answer") << QByteArray("get_freq") << QByteArray("get_freq:\nFrequency: 140")
                                 << State::NeedMore << 0 << "";
    QTest::newRow("no end marker yet") << QByteArray("get_freq") << QByteArray("get_freq:\nFrequency: 1\n")
                                       << State::NeedMore << 0 << "";
    QTest::newRow("answer to another command") << QByteArray("get_freq")
                                               << QByteArray("get_mode:\nMode: USB\nPassband: 0\nRPRT 0\n")
                                               << State::Malformed << 0 << "";
    QTest::newRow("plain protocol reply") << QByteArray("get_freq") << QByteArray("14074000\n") << State::Malformed
                                          << 0 << "";
    QTest::newRow("garbage") << QByteArray("get_freq") << QByteArray("\x01\xff\x80zz\n") << State::Malformed << 0
                             << "";
    QTest::newRow("non-numeric RPRT is not an end") << QByteArray("get_freq")
                                                    << QByteArray("get_freq:\nRPRT x\n") << State::NeedMore << 0
                                                    << "";
}

void TestRigctldProtocol::framing()
{
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, bytes);
    QFETCH(State, state);
    QFETCH(int, code);
    QFETCH(QString, frequency);
    RigctldReplyReader reader(expected.toStdString());
    QCOMPARE(reader.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))), state);
    if (state == State::Complete) {
        QCOMPARE(reader.reply().code, code);
        QCOMPARE(QString::fromStdString(std::string(reader.reply().value("Frequency").value_or(""))), frequency);
    }
}

void TestRigctldProtocol::sameReplyInAnyPieces()
{
    const std::string bytes = "get_mode:\nMode: PKTUSB\nPassband: 3000\nRPRT 0\n";
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        RigctldReplyReader reader("get_mode");
        reader.feed(std::string_view(bytes).substr(0, cut));
        QCOMPARE(reader.feed(std::string_view(bytes).substr(cut)), State::Complete);
        QCOMPARE(std::string(reader.reply().value("Mode").value_or("")), std::string("PKTUSB"));
        QCOMPARE(std::string(reader.reply().value("Passband").value_or("")), std::string("3000"));
    }
}

void TestRigctldProtocol::endlessInputIsRefused_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::newRow("one endless line") << QByteArray(1000, 'x');
    QTest::newRow("endless records") << QByteArray("Key: value\n").repeated(90);
}

void TestRigctldProtocol::endlessInputIsRefused()
{
    QFETCH(QByteArray, piece);
    RigctldReplyReader reader("dump_caps");
    reader.feed("dump_caps:\n");
    State state = State::NeedMore;
    // A peer that never ends its reply is refused after a bounded amount, not read for ever.
    for (int i = 0; i < 1000 && state == State::NeedMore; ++i)
        state = reader.feed(std::string_view(piece.constData(), static_cast<std::size_t>(piece.size())));
    QCOMPARE(state, State::Malformed);
}

void TestRigctldProtocol::frequencies_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("hertz"); // -1: refused
    QTest::newRow("integer") << "14074000" << qint64(14074000);
    QTest::newRow("fraction rounds") << "14074000.6" << qint64(14074001);
    QTest::newRow("padded") << " 7074000 " << qint64(7074000);
    QTest::newRow("microwave, above 2^31") << "10368100000" << qint64(10368100000);
    QTest::newRow("negative") << "-5" << qint64(-1);
    QTest::newRow("not a number") << "nan" << qint64(-1);
    QTest::newRow("infinite") << "inf" << qint64(-1);
    QTest::newRow("above 1 THz") << "2e12" << qint64(-1);
    QTest::newRow("trailing text") << "14074000Hz" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
}

void TestRigctldProtocol::frequencies()
{
    QFETCH(QString, text);
    QFETCH(qint64, hertz);
    const auto value = RigctldValues::parseFrequency(text.toStdString());
    QCOMPARE(value.has_value() ? qint64(*value) : qint64(-1), hertz);
}

void TestRigctldProtocol::ptt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // 0 receive, 1 transmit, -1 refused
    QTest::newRow("off") << "0" << 0;
    QTest::newRow("on") << "1" << 1;
    QTest::newRow("mic") << "2" << 1;
    QTest::newRow("data") << "3" << 1;
    QTest::newRow("out of range") << "4" << -1;
    QTest::newRow("text") << "on" << -1;
}

void TestRigctldProtocol::ptt()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const auto value = RigctldValues::parsePtt(text.toStdString());
    QCOMPARE(value.has_value() ? int(*value) : -1, expected);
}

void TestRigctldProtocol::hostPort_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::newRow("empty is the local default") << "" << true << "localhost" << "4532";
    QTest::newRow("host only") << "shack-pi" << true << "shack-pi" << "4532";
    QTest::newRow("host and port") << "127.0.0.1:4533" << true << "127.0.0.1" << "4533";
    QTest::newRow("IPv6 in brackets") << "[::1]:4534" << true << "::1" << "4534";
    QTest::newRow("bare IPv6") << "::1" << false << "" << "";
    QTest::newRow("missing port") << "host:" << false << "" << "";
    QTest::newRow("port too large") << "host:65536" << false << "" << "";
    QTest::newRow("port not a number") << "host:45x" << false << "" << "";
    QTest::newRow("missing host") << ":4532" << false << "" << "";
}

void TestRigctldProtocol::hostPort()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    std::string hostName, portName;
    QCOMPARE(RigctldAddress::splitHostPort(text.toStdString(), hostName, portName), valid);
    if (valid) {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QCOMPARE(QString::fromStdString(hostName), host);
        QCOMPARE(QString::fromStdString(portName), port);
    }
}

QTEST_GUILESS_MAIN(TestRigctldProtocol)
#include "tst_rigctldprotocol.moc"
