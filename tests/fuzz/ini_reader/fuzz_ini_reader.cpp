// Feeds arbitrary bytes to the settings file reader, reads every key it finds
// as text and as a number, writes a key and reads the result back.
#include "foundation/ini_file.h"
#include "foundation/settings.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velmora;
    IniFile ini;
    ini.Parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const QString &section : ini.SectionNames())
        for (const QString &key : ini.KeyNames(section)) {
            (void)ini.ReadString(section, key, {});
            (void)ini.ReadInteger(section, key, 0);
        }
    Settings settings = LoadSettings(ini, QStringLiteral("/p/"), QSize(800, 600));
    SaveSettings(settings, {QRect(0, 0, 10, 10), settings.ViewPath}, ini);
    IniFile back;
    back.Parse(ini.ToBytes());
    if (back.ReadString(QStringLiteral("OPTIONS"), QStringLiteral("CACHE_MAX"), {}) !=
        QString::number(settings.CacheMax))
        __builtin_trap();
    return 0;
}
