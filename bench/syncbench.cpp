// The server link's two costs that matter: decoding a large reply into the text `recieve`
// carries, beside zlib's own inflate of the same bytes; and the round trip of 1,000 small events
// against a local socket.io 4 server (tests/peers/sioserver.js). Run by hand:
//   build-*/bench/syncbench
#include "peer.h"
#include "testca.h"

#include "sync/gsocket.h"
#include "sync/replydecoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>

namespace {

const int kReplyBytes = 10 * 1000 * 1000;

// A first-download page as the server writes it: records with Persian text and numbers.
QByteArray replyJson()
{
    QByteArray out = R"({"ok":true,"payload":{"page":1},"timestamp":1700000000123,"content":{"list":[)";
    quint32 x = 2024;
    for (int i = 0; out.size() < kReplyBytes; ++i) {
        x = x * 1664525u + 1013904223u;
        if (i)
            out += ',';
        out += R"({"_id":")" + QByteArray::number(x, 16) + R"(","title":"آپارتمان )" + QByteArray::number(x % 300)
               + R"( متری در محله )" + QByteArray::number(x % 97) + R"(","price":)" + QByteArray::number(x % 100000 * 1000000ull)
               + R"(,"meter":)" + QByteArray::number(x % 500) + R"(,"date":{"register":)"
               + QByteArray::number(1700000000000ull + x) + R"(},"seen":)" + (x & 1 ? "true" : "false") + "}";
    }
    out += "]}}";
    return out;
}

QByteArray gzip(const QByteArray &data)
{
    z_stream zs{};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<int>(deflateBound(&zs, static_cast<uLong>(data.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(static_cast<int>(zs.total_out));
    deflateEnd(&zs);
    return out;
}

struct Reply
{
    QByteArray json = replyJson();
    QByteArray compressed = gzip(json);
    std::string base64 = compressed.toBase64().toStdString();
};

const Reply &reply()
{
    static const Reply r;
    return r;
}

void BM_DecodeReply(benchmark::State &state)
{
    const Reply &r = reply();
    QString text;
    for (auto _ : state) {
        UGENERAL::decodeReply(r.base64, text);
        benchmark::DoNotOptimize(text.constData());
    }
    if (text.toUtf8() != r.json)
        state.SkipWithError("decoded text differs");
    state.SetBytesProcessed(state.iterations() * r.json.size());
    state.counters["wire_MB"] = r.base64.size() / 1e6;
}

void BM_GunzipPayload(benchmark::State &state)
{
    const Reply &r = reply();
    QByteArray out;
    for (auto _ : state) {
        UGENERAL::gunzipPayload(r.compressed, out);
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(state.iterations() * r.json.size());
}

// zlib alone: one inflate call into a buffer of the known size.
void BM_ZlibInflate(benchmark::State &state)
{
    const Reply &r = reply();
    QByteArray out(r.json.size(), '\0');
    for (auto _ : state) {
        z_stream zs{};
        inflateInit2(&zs, 31);
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(r.compressed.constData()));
        zs.avail_in = static_cast<uInt>(r.compressed.size());
        zs.next_out = reinterpret_cast<Bytef *>(out.data());
        zs.avail_out = static_cast<uInt>(out.size());
        if (inflate(&zs, Z_FINISH) != Z_STREAM_END)
            state.SkipWithError("inflate failed");
        inflateEnd(&zs);
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(state.iterations() * r.json.size());
}

// Qt's own Base64 decoder, which the reply decoder does without.
void BM_QtFromBase64(benchmark::State &state)
{
    const Reply &r = reply();
    for (auto _ : state) {
        QByteArray raw = QByteArray::fromBase64(QByteArray::fromRawData(r.base64.data(), static_cast<int>(r.base64.size())));
        benchmark::DoNotOptimize(raw.constData());
    }
    state.SetBytesProcessed(state.iterations() * r.base64.size());
}

void BM_Utf8ToQString(benchmark::State &state)
{
    const Reply &r = reply();
    for (auto _ : state) {
        QString text = QString::fromUtf8(r.json);
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * r.json.size());
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// 1,000 small requests against the echoing server, the way QML sends them: from the GUI thread,
// each reply delivered there by `recieve`. `pipelined` sends all first, else one after another.
void roundTrip(benchmark::State &state, bool pipelined)
{
    if (!TestCa::get().ok) {
        state.SkipWithError("openssl could not make the certificates");
        return;
    }
    qputenv("TAVORLIN_CA_FILE", QByteArray::fromStdString(TestCa::get().caFile));
    Peer::Options o;
    o.echo = true;
    Peer peer(o);
    if (!peer.start()) {
        state.SkipWithError("the socket.io peer did not start");
        return;
    }
    UGENERAL::GSocket socket;
    int opened = 0;
    int replies = 0;
    QObject context;
    QObject::connect(&socket, &UGENERAL::GSocket::status, &context, [&](int code) { opened += code == 3; });
    QObject::connect(&socket, &UGENERAL::GSocket::recieve, &context, [&](const QString &, const QString &) {
        if (!pipelined && replies < 999)
            socket.emit(QStringLiteral("count"), QStringLiteral(R"({"platform":64,"lang":1,"content":{"user_id":"u"}})"));
        ++replies;
    });
    socket.setProtocol(QStringLiteral("https"));
    socket.setIp(QStringLiteral("127.0.0.1"));
    socket.setPort(peer.port());
    socket.connection();
    if (!waitUntil([&] { return opened > 0; }, 20000)) {
        state.SkipWithError("no connection");
        return;
    }
    double total = 0;
    for (auto _ : state) {
        replies = 0;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < (pipelined ? 1000 : 1); ++i)
            socket.emit(QStringLiteral("count"), QStringLiteral(R"({"platform":64,"lang":1,"content":{"user_id":"u"}})"));
        if (!waitUntil([&] { return replies >= 1000; }, 60000)) {
            state.SkipWithError("replies missing");
            return;
        }
        const double seconds = t.nsecsElapsed() / 1e9;
        total += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["us_per_event"] = total / static_cast<double>(state.iterations()) / 1000 * 1e6;
}

void BM_RoundTrip1000_OneByOne(benchmark::State &state)
{
    roundTrip(state, false);
}

void BM_RoundTrip1000_Pipelined(benchmark::State &state)
{
    roundTrip(state, true);
}

} // namespace

BENCHMARK(BM_DecodeReply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GunzipPayload)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtFromBase64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8ToQString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip1000_OneByOne)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip1000_Pipelined)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
