#include "Core/Psd/Psd.h"

#include <algorithm>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace
{

// Reads every byte a loaded document owns, so that the sanitizers see any
// array shorter than its count says.
uint32_t Sum(const void* data, size_t size)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t sum = 0;
    for (size_t i = 0; bytes && i < size; ++i)
        sum += bytes[i];
    return sum;
}

uint32_t TouchGradient(const PsdGradient& g)
{
    return Sum(g.name, size_t(g.nameLength) * 2) +
           Sum(g.colorStops, g.colorStopCount * sizeof(PsdColorStop)) +
           Sum(g.transparencyStops, g.transparencyStopCount * sizeof(PsdTransparencyStop));
}

uint32_t TouchPatternRef(const PsdPatternRef& p)
{
    return Sum(p.name, size_t(p.nameLength) * 2);
}

uint32_t TouchBlock(int32_t kind, const void* block)
{
    switch (kind)
    {
    case kPsdInfoLayerEffects:
    case kPsdInfoObjectEffects:
    {
        const PsdLayerEffects& e = *static_cast<const PsdLayerEffects*>(block);
        return TouchGradient(e.outerGlow.gradient) + TouchGradient(e.innerGlow.gradient) +
               TouchGradient(e.gradientOverlay.gradient) + TouchGradient(e.stroke.gradient) +
               TouchPatternRef(e.bevel.pattern) + TouchPatternRef(e.patternOverlay.pattern) +
               TouchPatternRef(e.stroke.pattern);
    }
    case kPsdInfoGradientFill:
        return TouchGradient(static_cast<const PsdGradientFill*>(block)->gradient);
    case kPsdInfoPatternFill:
        return TouchPatternRef(static_cast<const PsdPatternFill*>(block)->pattern);
    default:
        return 0;
    }
}

uint32_t Touch(const PsdContext* context)
{
    uint32_t sum = Sum(context->composite, size_t(context->width) * context->height * 4);
    for (int32_t i = 0; i < context->layerCount; ++i)
    {
        const PsdLayerRecord& record = context->layers[i];
        sum += Sum(record.pixels, size_t(record.width) * record.height * 4) +
               Sum(record.maskPixels, size_t(record.maskWidth) * record.maskHeight) +
               Sum(record.channels, size_t(std::max<int16_t>(record.channelCount, 0)) * sizeof(PsdChannelInfo)) +
               Sum(record.unicodeName, size_t(record.unicodeNameLength) * 2);
        for (const uint16_t* ranges : {record.sourceBlackRanges, record.sourceWhiteRanges,
                                       record.destinationBlackRanges, record.destinationWhiteRanges})
            sum += Sum(ranges, size_t(record.channelRangeCount) * 2);
        for (int32_t b = 0; b < record.blockCount; ++b)
            if (record.blocks[b])
                sum += TouchBlock(record.blockKinds[b], record.blocks[b]);
    }
    for (uint32_t i = 0; context->alphaChannels && i < context->alphaChannelCount; ++i)
    {
        const PsdAlphaChannel& alpha = context->alphaChannels[i];
        sum += Sum(alpha.data, size_t(context->width) * context->height) +
               Sum(alpha.unicodeName, size_t(alpha.unicodeNameLength) * 2);
    }
    for (int32_t i = 0; i < context->patternCount; ++i)
    {
        const PsdPattern& p = context->patterns[i];
        sum += Sum(p.pixels, size_t(p.width) * p.height * 4) + Sum(p.name, size_t(p.nameLength) * 2);
    }
    return sum;
}

// Keeps the sums from being optimised away.
volatile uint32_t touched = 0;

} // namespace

// The reader opens documents by path, so each input becomes the contents of
// one in-memory file that is opened afresh.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("psd", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0)
        return 0;
    size_t done = 0;
    while (done < size)
    {
        const ssize_t n = pwrite(fd, data + done, size - done, off_t(done));
        if (n <= 0)
            return 0;
        done += size_t(n);
    }
    PsdContext* context = nullptr;
    if (PsdLoadDocument(path.c_str(), &context) == kPsdOk)
    {
        touched = touched + Touch(context);
        PsdFreeDocument(context);
    }
    return 0;
}
