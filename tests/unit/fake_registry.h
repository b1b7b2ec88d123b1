// An in-memory HKEY_LOCAL_MACHINE for the settings store's tests.
#ifndef HUSHPANE_FAKE_REGISTRY_H
#define HUSHPANE_FAKE_REGISTRY_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct FakeValue {
    uint32_t type;
    std::vector<unsigned char> data;
};

struct FakeRegistry {
    // Keys by sub-key path, values by name (names compared as given).
    std::map<std::string, std::map<std::string, FakeValue>> keys;
    long createKeyStatus = 0;   // non-zero: every open fails with this code
    long writeOpenStatus = 0;   // non-zero: every open for writing fails (a limited account)
    int opens = 0;
    int closes = 0;
};

extern FakeRegistry g_fakeRegistry;

const uint32_t FAKE_REG_SZ = 1;
const uint32_t FAKE_REG_BINARY = 3;
const uint32_t FAKE_REG_DWORD = 4;
const uint32_t FAKE_REG_QWORD = 11;

void FakeRegistry_Reset();
void FakeRegistry_Put(const std::string &subKey, const std::string &name, uint32_t type,
                      std::vector<unsigned char> data);
void FakeRegistry_PutDword(const std::string &subKey, const std::string &name, uint32_t value);

#endif
