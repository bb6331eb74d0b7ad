#include "HostileCorpus.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray le16(int v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF));
}

void putLe32(QByteArray& bytes, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((v >> (8 * i)) & 0xFF);
}

// The same bytes on every run, so an outcome never depends on luck.
QByteArray garbage(const QByteArray& magic, int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes = magic;
    while (bytes.size() < size)
        bytes.append(char(random.bounded(256)));
    return bytes;
}

// A JPEG whose frame header claims `w` x `h` (first SOF0 patched).
QByteArray jpegClaiming(int w, int h)
{
    QByteArray bytes = HostileCorpus::Jpeg(QSize(16, 16));
    const int sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        return {};
    bytes[sof + 5] = char(h >> 8), bytes[sof + 6] = char(h & 0xFF);
    bytes[sof + 7] = char(w >> 8), bytes[sof + 8] = char(w & 0xFF);
    return bytes;
}

QByteArray bmpClaiming(int w, int h)
{
    QByteArray bytes = HostileCorpus::Bmp(QSize(4, 4));
    putLe32(bytes, 18, quint32(w));
    putLe32(bytes, 22, quint32(h));
    return bytes;
}

QByteArray noisyJpeg(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

}  // namespace

HostileCorpus::HostileCorpus(const QString& folder) : m_folder(folder)
{
    QDir().mkpath(folder);
    const QSize none;
    // Ordinary pictures under names that break quoting, option parsing or line-based
    // formats; each has its own size, so the caption tells which file was really read.
    add("plain.jpg", Jpeg({40, 30}), true, true, {40, 30}, "a good picture: previewed and shown");
    add("quo\"te.jpg", Jpeg({41, 31}), true, true, {41, 31}, "a quote is an ordinary byte in a name: shown");
    add("semi;colon.jpg", Jpeg({42, 32}), true, true, {42, 32}, "so is a semicolon: shown");
    add("new\nline.jpg", Jpeg({43, 33}), true, true, {43, 33}, "and a newline: shown");
    add("-leading-dash.jpg", Jpeg({44, 34}), true, true, {44, 34}, "an option-like name reaches no command line: shown");
    add("--rf.gif", Gif({45, 35}, {45, 35}), true, true, {45, 35}, "a valid GIF under an option-like name: shown");
    add("trailing space .bmp", Bmp({46, 36}), true, true, {46, 36}, "a valid BMP: shown");
    add("photo.dib", Bmp({47, 37}), true, true, {47, 37}, "a BMP under the .dib pattern: shown");

    // Damaged files. The header decides the preview; the pixels decide the viewer.
    const QByteArray jpeg = noisyJpeg({200, 150});
    add("truncated-data.jpg", jpeg.left(jpeg.size() * 6 / 10), true, true, {200, 150},
        "header intact, scan cut short: the size is known, what decoded is shown");
    add("truncated-header.jpg", jpeg.left(20), false, false, none, "cut inside the headers: no size, so the preview keeps the last picture, the viewer reports it");
    add("garbage.jpg", garbage("\xFF\xD8\xFF\xE0", 3000, 11), false, false, none, "JPEG magic, then noise: not a picture, preview kept, viewer reports it");
    const QByteArray gif = Gif({60, 50}, {60, 50});
    add("truncated-header.gif", gif.left(9), false, false, none, "cut inside the screen descriptor: not a picture");
    add("truncated-data.gif", gif.left(gif.size() / 2), true, true, {60, 50},
        "size readable, frame cut short: what decoded is shown");
    add("garbage.gif", garbage("GIF89a", 3000, 12), false, false, none, "GIF magic, then noise: not a picture");
    const QByteArray bmp = Bmp({64, 48});
    add("truncated-header.bmp", bmp.left(30), false, false, none, "cut inside the info header: not a picture");
    add("truncated-data.bmp", bmp.left(bmp.size() / 2), true, true, {64, 48},
        "size readable, rows missing: what was read is shown");
    add("garbage.bmp", garbage("BM", 3000, 13), false, false, none, "BMP magic, then noise: not a picture");
    add("empty.jpg", QByteArray(), false, false, none, "zero bytes: not a picture");
    add("empty.gif", QByteArray(), false, false, none, "zero bytes: not a picture");
    add("empty.bmp", QByteArray(), false, false, none, "zero bytes: not a picture");

    // Decompression bombs: refused from the header, before a pixel is allocated.
    add("bomb.jpg", jpegClaiming(65535, 65535), false, false, none, "claims 65535 x 65535: too large, refused before any pixel is allocated");
    add("bomb.bmp", bmpClaiming(100000, 100000), false, false, none, "claims 100000 x 100000: too large, refused before any pixel is allocated");
    add("bomb.gif", Gif({65535, 65535}, {2, 2}), false, false, none, "a 2 x 2 frame on a 65535 x 65535 screen: the screen decodes, so too large");
    add("wide-screen.gif", Gif({3000, 3000}, {2, 2}), true, true, {3000, 3000},
        "a 2 x 2 frame on a 3000 x 3000 screen: the screen is what decodes and shows");

    // Names that are not UTF-8 reach the program lossily (U+FFFD); a lossy name cannot be
    // told apart from a real name holding U+FFFD, so none of the three is ever opened.
    add("bad\xFF.jpg", Jpeg({48, 38}), false, false, none, "invalid UTF-8: shown lossily, never opened");
    add("bad\xFE.jpg", Jpeg({49, 39}), false, false, none, "invalid UTF-8, the same lossy name: never opened");
    add("bad\xEF\xBF\xBD.jpg", Jpeg({50, 40}), false, false, none, "a real U+FFFD, indistinguishable from the two above: never opened");

    // A link to a picture is the picture.
    const QByteArray at = QFile::encodeName(folder) + '/';
    if (::symlink("plain.jpg", (at + "link-to-plain.jpg").constData()) == 0)
        m_listed.push_back({"link-to-plain.jpg", true, true, {40, 30}, "a link to a picture is followed: shown as that picture"});

    // Not files: never listed, never opened.
    QDir().mkpath(folder + QStringLiteral("/folder.jpg"));
    WriteRaw(at + "folder.jpg/inside.jpg", Jpeg({20, 10}));
    for (const char* fifo : {"pipe.jpg", "pipe.gif"})
        if (MakeFifo(at + fifo))
            m_fifos.push_back(at + fifo);
    (void)::symlink("nowhere.jpg", (at + "dangling.jpg").constData());
    (void)::symlink("selfloop.jpg", (at + "selfloop.jpg").constData());
    (void)::symlink("selfloop", (at + "selfloop").constData());

    // loop/a/b leads back to loop: browsing down never ends.
    QDir().mkpath(LoopFolder() + QStringLiteral("/a"));
    WriteRaw(QFile::encodeName(LoopFolder()) + "/top.jpg", Jpeg({12, 8}));
    WriteRaw(QFile::encodeName(LoopFolder()) + "/a/inner.jpg", Jpeg({14, 9}));
    (void)::symlink("..", (QFile::encodeName(LoopFolder()) + "/a/b").constData());
}

void HostileCorpus::add(const QByteArray& name, const QByteArray& contents, bool preview, bool viewer, QSize size,
                        const char* why)
{
    WriteRaw(QFile::encodeName(m_folder) + '/' + name, contents);
    m_listed.push_back({name, preview, viewer, size, why});
}

const HostileCorpus::Entry* HostileCorpus::Find(const QString& shownName) const
{
    for (const Entry& e : m_listed)
        if (Decoded(e.name) == shownName)
            return &e;
    return nullptr;
}

QString HostileCorpus::Decoded(const QByteArray& rawName)
{
    return QFile::decodeName(rawName);
}

QByteArray HostileCorpus::Jpeg(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

QByteArray HostileCorpus::Bmp(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QByteArray HostileCorpus::Gif(QSize screen, QSize frame)
{
    QByteArray gif("GIF89a");
    gif += le16(screen.width()) + le16(screen.height());
    gif += QByteArray("\x80\x00\x00", 3);              // a global table of two colours
    gif += QByteArray("\x20\x40\xC0\xFF\xFF\x80", 6);  // blue-ish, light yellow
    gif += '\x2C' + le16(0) + le16(0) + le16(frame.width()) + le16(frame.height()) + '\x00';
    gif += '\x02';  // minimum code size: clear = 4, end = 5, codes of 3 bits
    // Every pixel is "clear, colour 0": the table never grows, so the codes stay 3 bits.
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](quint32 code) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            data += char(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    };
    for (qint64 i = 0; i < qint64(frame.width()) * frame.height(); ++i)
        put(4), put(0);
    put(5);
    if (count > 0)
        data += char(bits & 0xFF);
    for (int at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        gif += char(block.size()) + block;
    }
    gif += '\x00';
    gif += '\x3B';
    return gif;
}

void HostileCorpus::WriteRaw(const QByteArray& path, const QByteArray& contents)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        qFatal("cannot create %s", path.constData());
    if (::write(fd, contents.constData(), size_t(contents.size())) != contents.size())
        qFatal("cannot write %s", path.constData());
    ::close(fd);
}

QByteArray HostileCorpus::ReadRaw(const QByteArray& path)
{
    // Never blocks: a FIFO or a missing file reads as nothing.
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    QFile file(QFile::decodeName(path));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    return file.readAll();
}

bool HostileCorpus::MakeFifo(const QByteArray& path)
{
    return ::mkfifo(path.constData(), 0644) == 0;
}
