// In-memory registry port: behaves like advapi32 for the calls the store makes,
// including ERROR_MORE_DATA for a value longer than the buffer.
#include "fake_registry.h"
#include "registry_port.h"

#include <cstring>

FakeRegistry g_fakeRegistry;

static const long ERROR_FILE_NOT_FOUND_CODE = 2;
static const long ERROR_MORE_DATA_CODE = 234;

void FakeRegistry_Reset()
{
    g_fakeRegistry = FakeRegistry();
}

void FakeRegistry_Put(const std::string &subKey, const std::string &name, uint32_t type,
                      std::vector<unsigned char> data)
{
    g_fakeRegistry.keys[subKey][name] = FakeValue{type, std::move(data)};
}

void FakeRegistry_PutDword(const std::string &subKey, const std::string &name, uint32_t value)
{
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(&value);
    FakeRegistry_Put(subKey, name, FAKE_REG_DWORD, {bytes, bytes + 4});
}

long RegPort_CreateKey(const char *subKey, bool forWriting, RegPortKey *key)
{
    if (g_fakeRegistry.createKeyStatus != 0)
        return g_fakeRegistry.createKeyStatus;
    if (forWriting && g_fakeRegistry.writeOpenStatus != 0)
        return g_fakeRegistry.writeOpenStatus;
    ++g_fakeRegistry.opens;
    *key = &g_fakeRegistry.keys[subKey];
    return 0;
}

long RegPort_QueryValue(RegPortKey key, const char *valueName, unsigned char *data, uint32_t *size)
{
    auto &values = *static_cast<std::map<std::string, FakeValue> *>(key);
    auto found = values.find(valueName);
    if (found == values.end())
        return ERROR_FILE_NOT_FOUND_CODE;
    const std::vector<unsigned char> &stored = found->second.data;
    const uint32_t room = *size;
    *size = static_cast<uint32_t>(stored.size());
    if (stored.size() > room) {
        // Real registries may leave a partial copy behind on this error.
        std::memset(data, 0xEE, room);
        return ERROR_MORE_DATA_CODE;
    }
    if (!stored.empty())
        std::memcpy(data, stored.data(), stored.size());
    return 0;
}

long RegPort_SetDword(RegPortKey key, const char *valueName, const uint32_t *value)
{
    auto &values = *static_cast<std::map<std::string, FakeValue> *>(key);
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(value);
    values[valueName] = FakeValue{FAKE_REG_DWORD, {bytes, bytes + 4}};
    return 0;
}

long RegPort_CloseKey(RegPortKey)
{
    ++g_fakeRegistry.closes;
    return 0;
}
