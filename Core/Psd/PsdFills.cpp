#include "Core/Psd/PsdReader.h"

// Fill layers: a solid colour, a gradient or a pattern, each kept as a
// descriptor in its layer block.

namespace
{

template <typename T>
PsdStatus AppendFill(PsdContext* context, PsdLayerRecord* record, int32_t kind, T** payload)
{
    return PsdAppendLayerBlock(context, record, kind, sizeof(T), reinterpret_cast<void**>(payload));
}

// The descriptor version every fill starts with; `failure` when it is not 16.
PsdStatus ReadDescriptorVersion(PsdContext* context, PsdStatus failure)
{
    const uint32_t version = PsdReadU32(context);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    return version == 16 ? kPsdOk : failure;
}

} // namespace

PsdStatus PsdReadSolidColorFill(PsdContext* context, PsdLayerRecord* record)
{
    PsdSolidColorFill* fill = nullptr;
    PsdStatus status = AppendFill(context, record, kPsdInfoSolidColorFill, &fill);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerSolidColorFill;
    status = ReadDescriptorVersion(context, kPsdBadSolidColorFillVersion);
    if (status != kPsdOk)
        return status;
    PsdForEachDescriptorItem(context, &fill->classId, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (PsdKeyIs(&key, "Clr "))
            PsdReadColorItem(context, type, &fill->color);
        else
            PsdSkipDescriptorItem(type, context);
    });
    return context->readStatus;
}

PsdStatus PsdReadGradientFill(PsdContext* context, PsdLayerRecord* record)
{
    PsdGradientFill* fill = nullptr;
    PsdStatus status = AppendFill(context, record, kPsdInfoGradientFill, &fill);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerGradientFill;
    fill->scale = 100;
    fill->align = true;
    status = ReadDescriptorVersion(context, kPsdBadGradientFillVersion);
    if (status != kPsdOk)
        return status;
    PsdForEachDescriptorItem(context, &fill->classId, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (PsdKeyIs(&key, "Grad"))
            PsdReadGradientItem(context, type, &fill->gradient);
        else if (PsdKeyIs(&key, "Algn"))
            PsdReadBoolItem(context, type, &fill->align);
        else if (PsdKeyIs(&key, "Angl"))
            PsdReadNumberItem(context, type, &fill->angle);
        else if (PsdKeyIs(&key, "Dthr"))
            PsdReadBoolItem(context, type, &fill->dithered);
        else if (PsdKeyIs(&key, "Rvrs"))
            PsdReadBoolItem(context, type, &fill->reversed);
        else if (PsdKeyIs(&key, "Scl "))
            PsdReadIntegerItem(context, type, &fill->scale);
        else if (PsdKeyIs(&key, "Type"))
            PsdReadGradientStyleItem(context, type, &fill->style);
        else
            PsdSkipDescriptorItem(type, context);
    });
    return context->readStatus;
}

PsdStatus PsdReadPatternFill(PsdContext* context, PsdLayerRecord* record)
{
    PsdPatternFill* fill = nullptr;
    PsdStatus status = AppendFill(context, record, kPsdInfoPatternFill, &fill);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerPatternFill;
    status = ReadDescriptorVersion(context, kPsdBadPatternFillVersion);
    if (status != kPsdOk)
        return status;
    PsdForEachDescriptorItem(context, &fill->classId, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (PsdKeyIs(&key, "Ptrn"))
            PsdReadPatternRefItem(context, type, &fill->pattern);
        else if (PsdKeyIs(&key, "Scl "))
            PsdReadIntegerItem(context, type, &fill->scale);
        else
            PsdSkipDescriptorItem(type, context);
    });
    return context->readStatus;
}

void PsdFreeGradientFill(void* payload)
{
    if (!payload)
        return;
    PsdFreeGradient(&static_cast<PsdGradientFill*>(payload)->gradient);
    PsdFreeMemory(payload);
}

void PsdFreePatternFill(void* payload)
{
    if (!payload)
        return;
    PsdFreePatternRef(&static_cast<PsdPatternFill*>(payload)->pattern);
    PsdFreeMemory(payload);
}
