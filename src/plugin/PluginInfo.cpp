#include "plugin/PluginInfo.h"

#include <cstdio>

namespace {

const char kName[] = "Torvex";
const char kVersion[] = "0.1";
const char kAuthor[] = "The Torvex developers";
const char kReleaseDate[] = "22 01 2004";
const char kEmpty[] = "";
const char kContact[] = "torvex@example.org";

enum Field { kFieldName = 1, kFieldVersion, kFieldAuthor, kFieldDate, kFieldEmpty, kFieldContact };

}  // namespace

extern "C" const char* pluginInfo(int field) {
    switch (field) {
        case kFieldName:
            return kName;
        case kFieldVersion:
            return kVersion;
        case kFieldAuthor:
            return kAuthor;
        case kFieldDate:
            return kReleaseDate;
        case kFieldEmpty:
            return kEmpty;
        case kFieldContact:
            return kContact;
        default: {
            static char combined[sizeof(kName) + sizeof(kVersion) + sizeof(kReleaseDate) + 8];
            std::snprintf(combined, sizeof(combined), "%s %s (%s)", kName, kVersion, kReleaseDate);
            return combined;
        }
    }
}
