// The framer and the parser fed arbitrary bytes in arbitrary pieces: nothing crashes, every
// packet ends with its terminator, memory stays bounded, and the packets do not depend on how
// the stream was cut.
#include "base/TextDecoding.h"
#include "link/TClientManager.h"
#include "link/TPacketManagerParser.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

namespace {

QStringList Frame(const QByteArray& stream, const uint8_t* cuts, size_t cutCount) {
    TClientManager c;
    QStringList packets;
    c.OnPacket = [&](TClientManager*, const QString& p) { packets << p; };
    qsizetype pos = 0;
    size_t i = 0;
    while (pos < stream.size()) {
        const qsizetype n = cutCount ? 1 + cuts[i++ % cutCount] : stream.size();
        c.FeedBytes(stream.mid(pos, n));
        pos += n;
        if (c.PendingBytes() > TClientManager::kMaxPacketBytes) std::abort();
    }
    return packets;
}

void Parse(const QString& packet) {
    const TPacketManagerParser p(packet);
    (void)p.GetPacketType();
    (void)p.GetEvent();
    for (const char16_t* key : {u"Response", u"ActionID", u"ZXDBActionID", u"Channel", u"Uniqueid",
                                u"Value1", u"Event", u""})
        (void)p.GetValue(QStringView(key)), (void)p.HasKey(QStringView(key));
    if (!packet.endsWith(u"\r\n\r\n")) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_framing";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    // The first bytes choose where the stream is cut; the rest is the stream.
    const size_t cutCount = size ? std::min<size_t>(data[0] % 16, size - 1) : 0;
    const uint8_t* cuts = data + 1;
    const QByteArray stream(reinterpret_cast<const char*>(data + 1 + cutCount),
                            qsizetype(size - std::min(size, 1 + cutCount)));

    const QStringList whole = Frame(stream, nullptr, 0);
    const QStringList pieces = Frame(stream, cuts, cutCount);
    if (whole != pieces) std::abort();
    for (const QString& p : whole)
        Parse(p);
    (void)DecodeText(stream);
    return 0;
}
