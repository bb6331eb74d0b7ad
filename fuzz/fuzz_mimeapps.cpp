// The mimeapps.list and mimeinfo.cache reader.
#include "DesktopEntry.h"
#include "FuzzSupport.h"
#include "MimeAppsList.h"

#include <functional>

namespace {

using Lookup = std::function<QStringList(const QString&)>;

// Every type named in the group gives the list of the first of its lines, MIME types
// compared without case; the lists hold trimmed, non-empty ids.
void checkTable(const QString& text, const QString& group, const Lookup& lookup)
{
    QHash<QString, QStringList> expected;
    for (const auto& [key, value] : GroupLinesInOrder(text, group))
        if (!expected.contains(key.toLower()))
            expected.insert(key.toLower(), SplitKeyFileList(value));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QStringList got = lookup(it.key());
        FUZZ_CHECK(got == it.value(), QStringLiteral("[%1] %2: %3 instead of %4 in %5")
                                          .arg(group, Shown(it.key()), Shown(got), Shown(it.value()), Shown(text)));
        for (const QString& id : got)
            FUZZ_CHECK(!id.isEmpty() && id == id.trimmed() && !id.contains(QLatin1Char('\n')), Shown(id));
    }
    // A type named nowhere has no list.
    FUZZ_CHECK(lookup(QStringLiteral("x-not/named\n")).isEmpty(), Shown(text));
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = FuzzText(data, size);

    const MimeAppsList list = MimeAppsList::Parse(text);
    checkTable(text, QStringLiteral("Default Applications"), [&](const QString& t) { return list.Defaults(t); });
    checkTable(text, QStringLiteral("Added Associations"), [&](const QString& t) { return list.Added(t); });
    checkTable(text, QStringLiteral("Removed Associations"), [&](const QString& t) { return list.Removed(t); });

    const MimeAppsList cache = MimeAppsList::ParseCache(text);
    checkTable(text, QStringLiteral("MIME Cache"), [&](const QString& t) { return cache.Added(t); });
    for (const auto& [key, value] : GroupLinesInOrder(text, QStringLiteral("Default Applications")))
        FUZZ_CHECK(cache.Defaults(key).isEmpty() && cache.Removed(key).isEmpty(), Shown(key));
    return 0;
}
