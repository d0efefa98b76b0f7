#include "common/lead_bytes.h"

#include "platform/platform.h"

namespace {
LeadByteTable g_leadBytes;
}

LeadByteTable::LeadByteTable() { Fill(); }

void LeadByteTable::Fill() {
    os::System& system = os::Sys();
    bool anyLead = false;
    for (int value = 0; value < 256; ++value) {
        leadByte[value] = system.IsDBCSLeadByte(static_cast<unsigned char>(value)) ? 1 : 0;
        if (leadByte[value]) anyLead = true;
    }
    os::CpInfo info{};
    if (system.GetCPInfo(os::kCpAcp, &info)) {
        multiByte = info.maxCharSize > 1 ? 1 : 0;
    } else {
        multiByte = anyLead ? 1 : 0;
    }
}

const LeadByteTable& LeadBytes() { return g_leadBytes; }

void RefillLeadBytes() { g_leadBytes.Fill(); }

const char* StepChar(const LeadByteTable& table, const char* position) {
    unsigned char byte = static_cast<unsigned char>(*position);
    if (table.multiByte && table.leadByte[byte] && position[1] != '\0') return position + 2;
    return position + 1;
}
