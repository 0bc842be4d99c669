#include "tags/staged_writer.h"

#include <cstring>
#include <new>

#include "framework/XGFile.h"
#include "tags/tag_file_format.h"

TStagedWriter::TStagedWriter(XGFile& out, uint32_t crc, uint32_t capacity, TWriterThread* thread)
    : fSlot(out), fCapacity(capacity), fCrc(crc)
{
    if (!capacity) return;
    fBuffers[0].reset(new (std::nothrow) uint8_t[capacity]);
    if (!thread || !thread->Running() || !fBuffers[0]) return;
    fBuffers[1].reset(new (std::nothrow) uint8_t[capacity]);
    if (fBuffers[1]) fThread = thread;
}

TStagedWriter::~TStagedWriter()
{
    // the buffer in hand is written first: the file stays open until then
    if (fThread) fThread->Forget(fSlot);
}

bool TStagedWriter::Ready() const
{
    return fBuffers[0] != nullptr;
}

uint8_t* TStagedWriter::Space(uint32_t& room)
{
    if (fUsed == fCapacity) Hand();
    room = fCapacity - fUsed;
    return fBuffers[fFilling].get() + fUsed;
}

void TStagedWriter::Commit(uint32_t n)
{
    fCrc = tag_checksum(fCrc, fBuffers[fFilling].get() + fUsed, n);
    fUsed += n;
}

void TStagedWriter::Append(const uint8_t* data, uint32_t n)
{
    if (n > fCapacity - fUsed) Hand();
    if (n >= fCapacity) {
        Flush();
        fSlot.file.Write(data, n);
        fCrc = tag_checksum(fCrc, data, n);
        return;
    }
    fCrc = tag_checksum(fCrc, data, n);
    std::memcpy(fBuffers[fFilling].get() + fUsed, data, n);
    fUsed += n;
}

void TStagedWriter::Flush()
{
    if (fUsed) Hand();
    if (fThread) fThread->Settle(fSlot);
}

// The filled buffer goes to the file; the other one fills next, once it is written.
void TStagedWriter::Hand()
{
    if (!fUsed) return;
    if (!fThread) {
        fSlot.file.Write(fBuffers[0].get(), fUsed);
        fUsed = 0;
        return;
    }
    fThread->Hand(fSlot, fBuffers[fFilling].get(), fUsed);
    fFilling ^= 1;
    fUsed = 0;
}
