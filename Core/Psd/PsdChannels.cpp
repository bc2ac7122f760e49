#include "Core/Psd/PsdReader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include <zlib.h>

// --- Decoders ----------------------------------------------------------------

PsdStatus PsdInflate(const uint8_t* input, size_t inputLength, uint8_t* output,
                     size_t outputLength)
{
    if (inputLength > UINT_MAX || outputLength > UINT_MAX)
        return kPsdInflateFailed;
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    stream.next_in = const_cast<Bytef*>(input);
    stream.avail_in = uInt(inputLength);
    stream.next_out = output;
    stream.avail_out = uInt(outputLength);
    stream.data_type = 0;
    if (inflateInit(&stream) != Z_OK)
        return kPsdInflateFailed;
    PsdStatus status = kPsdOk;
    while (stream.avail_out > 0)
    {
        const int result = inflate(&stream, Z_PARTIAL_FLUSH);
        if (result == Z_STREAM_END)
            break;
        // Z_BUF_ERROR here means the input ended before the stream did.
        if (result != Z_OK)
        {
            status = kPsdInflateFailed;
            break;
        }
    }
    inflateEnd(&stream);
    return status;
}

PsdStatus PsdInflateWithPrediction(const uint8_t* input, size_t inputLength, uint8_t* output,
                                   size_t outputLength, size_t rowWidth, int depth)
{
    const PsdStatus status = PsdInflate(input, inputLength, output, outputLength);
    if (status != kPsdOk || rowWidth == 0)
        return status;
    if (depth == 16)
    {
        // Big-endian 16-bit deltas, the low byte's carry going into the high byte.
        const size_t rowBytes = rowWidth * 2;
        for (size_t row = 0; row < outputLength; row += rowBytes)
        {
            const size_t end = std::min(row + rowBytes, outputLength);
            for (size_t i = row + 2; i + 1 < end; i += 2)
            {
                const unsigned previous = unsigned(output[i - 2]) << 8 | output[i - 1];
                const unsigned current = unsigned(output[i]) << 8 | output[i + 1];
                const unsigned sum = (previous + current) & 0xFFFF;
                output[i] = uint8_t(sum >> 8);
                output[i + 1] = uint8_t(sum);
            }
        }
        return kPsdOk;
    }
    for (size_t row = 0; row < outputLength; row += rowWidth)
    {
        const size_t end = std::min(row + rowWidth, outputLength);
        for (size_t i = row + 1; i < end; ++i)
            output[i] = uint8_t(output[i] + output[i - 1]);
    }
    return kPsdOk;
}

PsdStatus PsdUnpackRows(const uint8_t* input, size_t inputLength, size_t rowCount,
                        uint8_t* output, size_t outputLength)
{
    if (rowCount > inputLength / 2)
        return kPsdCorruptData;
    const uint8_t* table = input;
    const uint8_t* in = input + rowCount * 2;
    const uint8_t* const inEnd = input + inputLength;
    uint8_t* out = output;
    uint8_t* const outEnd = output + outputLength;
    for (size_t row = 0; row < rowCount; ++row)
    {
        const size_t count = size_t(table[2 * row]) << 8 | table[2 * row + 1];
        if (count > size_t(inEnd - in))
            return kPsdCorruptData;
        const uint8_t* const rowEnd = in + count;
        while (in < rowEnd)
        {
            const int header = *in++;
            if (header < 128)
            {
                const size_t n = size_t(header) + 1;
                if (n > size_t(rowEnd - in) || n > size_t(outEnd - out))
                    return kPsdCorruptData;
                std::memcpy(out, in, n);
                in += n;
                out += n;
            }
            else if (header > 128)
            {
                const size_t n = size_t(257 - header);
                if (in == rowEnd || n > size_t(outEnd - out))
                    return kPsdCorruptData;
                std::memset(out, *in++, n);
                out += n;
            }
            // 128 is a no-op.
        }
    }
    return kPsdOk;
}

bool PsdPlausibleOutput(int compression, uint64_t input, uint64_t output)
{
    switch (compression)
    {
    case 0:
        return output <= input;
    case 1:
        return output <= input * kPsdMaxRleRatio + kPsdRatioSlack;
    default:
        return output <= input * kPsdMaxZipRatio + kPsdRatioSlack;
    }
}

// --- Layer channels ----------------------------------------------------------

// Grows a decode buffer to at least `needed` bytes, doubling, from a floor.
static PsdStatus GrowBuffer(PsdContext* context, uint8_t** buffer, size_t* capacity,
                            uint64_t needed, size_t floor)
{
    if (needed <= *capacity)
        return kPsdOk;
    const uint64_t size = std::max<uint64_t>(needed, floor);
    const uint64_t doubled = std::max<uint64_t>(size, uint64_t(*capacity) * 2);
    PsdFreeArray(context, *buffer, *capacity);
    *buffer = nullptr;
    *capacity = 0;
    size_t bytes = 0;
    PsdStatus status = PsdReserveMemory(context, doubled, 1, &bytes);
    if (status != kPsdOk)
        status = PsdReserveMemory(context, size, 1, &bytes);
    if (status != kPsdOk)
        return status;
    *buffer = static_cast<uint8_t*>(PsdAlloc(bytes));
    if (!*buffer)
        return kPsdNoMemory;
    *capacity = bytes;
    return kPsdOk;
}

void PsdFreeDecodeBuffers(PsdContext* context)
{
    PsdFreeArray(context, context->channelBuffer, context->channelCapacity);
    context->channelBuffer = nullptr;
    context->channelCapacity = 0;
    PsdFreeArray(context, context->compressedBuffer, context->compressedCapacity);
    context->compressedBuffer = nullptr;
    context->compressedCapacity = 0;
}

// Decodes one channel's compressed bytes into its zero-filled slot.
static PsdStatus DecodeChannel(const PsdContext* context, int compression, const uint8_t* input,
                               size_t inputLength, uint8_t* slot, size_t slotBytes,
                               uint32_t width, uint32_t height)
{
    switch (compression)
    {
    case 0:
        // Raw data shorter than its channel cannot be what it claims.
        if (inputLength < slotBytes)
            return kPsdCorruptData;
        std::memcpy(slot, input, slotBytes);
        return kPsdOk;
    case 1:
        return PsdUnpackRows(input, inputLength, height, slot, slotBytes);
    case 2:
        return PsdInflate(input, inputLength, slot, slotBytes);
    case 3:
        return PsdInflateWithPrediction(
            input, inputLength, slot, slotBytes,
            context->depth == 1 ? size_t(PsdChannelBytes(width, 1, 1)) : width, context->depth);
    default:
        return kPsdBadCompression;
    }
}

PsdStatus PsdReadChannelImageData(PsdContext* context, PsdLayerRecord* record)
{
    const int depth = context->depth;
    const uint32_t width = uint32_t(record->width);
    const uint32_t height = uint32_t(record->height);
    const uint32_t maskWidth = uint32_t(record->maskWidth);
    const uint32_t maskHeight = uint32_t(record->maskHeight);
    const uint64_t layerBytes = PsdChannelBytes(width, height, depth);
    const uint64_t maskBytes = depth == 1 ? 0 : PsdChannelBytes(maskWidth, maskHeight, depth);
    const uint64_t stride = std::max(layerBytes, maskBytes);
    const int count = std::max<int>(record->channelCount, 0);

    // The channels' data must be in the file before anything is decoded, and
    // must be able to fill what the layer claims: the most any compression
    // gives is checked here, each channel's own once its method is known.
    uint64_t dataBytes = 0, claimedBytes = 0;
    for (int i = 0; i < count; ++i)
    {
        dataBytes += record->channels[i].length;
        claimedBytes += record->channels[i].id == -2 ? maskBytes : layerBytes;
    }
    if (dataBytes > uint64_t(std::max<int64_t>(PsdBytesLeft(context), 0)))
        return context->limit >= context->fileSize ? kPsdShortRead : kPsdBlockOverrun;
    if (!PsdPlausibleOutput(2, dataBytes, claimedBytes) ||
        !PsdPlausibleOutput(2, dataBytes, uint64_t(width) * height))
        return kPsdCorruptData;

    if (stride < 1)
    {
        for (int i = 0; i < count; ++i)
            PsdSkipBytes(context, record->channels[i].length);
        return context->readStatus;
    }

    // Every decoded channel starts as zeros, so what a short stream leaves
    // out reads as 0 and never as the previous layer's bytes.
    PsdStatus status = GrowBuffer(context, &context->channelBuffer, &context->channelCapacity,
                                  uint64_t(count) * stride, 12288);
    if (status != kPsdOk)
        return status;
    // A layer without channels has no buffer to clear.
    if (count > 0)
        std::memset(context->channelBuffer, 0, size_t(uint64_t(count) * stride));

    for (int i = 0; i < count; ++i)
    {
        const PsdChannelInfo& channel = record->channels[i];
        if (channel.length < 2)
        {
            // Not even a compression word: an empty channel.
            PsdSkipBytes(context, channel.length);
            continue;
        }
        const uint32_t compressedLength = channel.length - 2;
        if (int64_t(channel.length) > PsdBytesLeft(context))
            return context->limit >= context->fileSize ? kPsdShortRead : kPsdBlockOverrun;
        const int compression = PsdReadU16(context);
        const bool isMask = channel.id == -2;
        const uint64_t slotBytes = isMask ? maskBytes : layerBytes;
        // The real user mask is not kept; nor is a channel with nothing to fill.
        if (channel.id == -3 || channel.id < -3 || compressedLength == 0 || slotBytes == 0)
        {
            PsdSkipBytes(context, compressedLength);
            continue;
        }
        if (!PsdPlausibleOutput(compression, compressedLength, slotBytes))
            return compression > 3 ? kPsdBadCompression : kPsdCorruptData;
        status = GrowBuffer(context, &context->compressedBuffer, &context->compressedCapacity,
                            compressedLength, 4096);
        if (status != kPsdOk)
            return status;
        if (PsdReadBytes(context, context->compressedBuffer, compressedLength) !=
            int64_t(compressedLength))
            return context->readStatus;
        status = DecodeChannel(context, compression, context->compressedBuffer, compressedLength,
                               context->channelBuffer + size_t(i * stride), size_t(slotBytes),
                               isMask ? maskWidth : width, isMask ? maskHeight : height);
        if (status != kPsdOk)
            return status;
    }

    if (uint64_t(width) * height > 0)
    {
        // Channels by id; of several with the same id the last one counts.
        PsdPlanes planes = {};
        for (int i = 0; i < count; ++i)
        {
            const int id = record->channels[i].id;
            const uint8_t* slot = context->channelBuffer + size_t(i * stride);
            if (id == -1)
                planes.alpha = slot;
            else if (id >= 0 && id < 4)
                planes.color[id] = slot;
        }
        status = PsdAllocArray(context, uint64_t(width) * height, sizeof(uint32_t),
                               reinterpret_cast<void**>(&record->pixels));
        if (status != kPsdOk)
            return status;
        PsdConvertPlanes(context, &planes, width, height, false, record->pixels);
    }

    if (maskBytes > 0)
    {
        for (int i = 0; i < count; ++i)
        {
            if (record->channels[i].id != -2)
                continue;
            const uint64_t samples = uint64_t(maskWidth) * maskHeight;
            status = PsdAllocArray(context, samples, 1,
                                   reinterpret_cast<void**>(&record->maskPixels));
            if (status != kPsdOk)
                return status;
            const uint8_t* slot = context->channelBuffer + size_t(i * stride);
            const size_t step = depth == 16 ? 2 : 1;
            for (uint64_t s = 0; s < samples; ++s)
                record->maskPixels[s] = slot[s * step];
            break;
        }
    }
    return kPsdOk;
}
