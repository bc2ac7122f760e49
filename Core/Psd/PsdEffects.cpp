#include "Core/Psd/PsdReader.h"

#include <cstring>

// Layer effects in both their forms: the binary "lrFX" block and the
// descriptor-based "lfx2" block. Every effect starts from its defaults, so an
// effect that names only some settings is still complete.

// --- Defaults ------------------------------------------------------------------

namespace
{

void ShadowDefaults(PsdShadowEffect* shadow)
{
    std::memset(shadow, 0, sizeof *shadow);
    shadow->blendMode = 3;
    shadow->color = 0xFF000000;
    shadow->nativeColor = 0xFF000000;
    shadow->opacity = 191;
    shadow->angle = 120;
    shadow->useGlobalLight = true;
    shadow->distance = 5;
    shadow->size = 5;
    PsdIdentityContour(shadow->contour);
}

void GlowDefaults(PsdGlowEffect* glow, bool inner)
{
    PsdFreeGradient(&glow->gradient);
    std::memset(glow, 0, sizeof *glow);
    glow->blendMode = 7;
    glow->opacity = 191;
    glow->color = 0xFFFFFFBE;
    glow->nativeColor = 0xFFFFFFBE;
    glow->source = inner ? 1 : 0;
    glow->size = 5;
    PsdIdentityContour(glow->contour);
    glow->range = 50;
}

void BevelDefaults(PsdBevelEffect* bevel)
{
    PsdFreePatternRef(&bevel->pattern);
    std::memset(bevel, 0, sizeof *bevel);
    bevel->style = 1;
    bevel->technique = 2;
    bevel->depth = 100;
    bevel->size = 5;
    bevel->angle = 120;
    bevel->useGlobalLight = true;
    bevel->altitude = 30;
    PsdIdentityContour(bevel->glossContour);
    bevel->highlightBlendMode = 7;
    bevel->highlightColor = bevel->highlightNativeColor = 0xFFFFFFFF;
    bevel->highlightOpacity = 191;
    bevel->shadowBlendMode = 7;
    bevel->shadowColor = bevel->shadowNativeColor = 0xFF000000;
    bevel->shadowOpacity = 191;
    PsdIdentityContour(bevel->contour);
    bevel->range = 50;
    bevel->scale = 100;
    bevel->textureDepth = 100;
    bevel->alignWithLayer = true;
}

void SatinDefaults(PsdSatinEffect* satin)
{
    std::memset(satin, 0, sizeof *satin);
    satin->blendMode = 3;
    satin->color = 0xFF000000;
    satin->opacity = 128;
    satin->angle = 19;
    satin->distance = 11;
    satin->size = 14;
    PsdIdentityContour(satin->contour);
    satin->invert = true;
}

void ColorOverlayDefaults(PsdColorOverlayEffect* overlay)
{
    std::memset(overlay, 0, sizeof *overlay);
    overlay->color = 0xFFFF0000;
    overlay->opacity = 255;
}

void GradientOverlayDefaults(PsdGradientOverlayEffect* overlay)
{
    PsdFreeGradient(&overlay->gradient);
    std::memset(overlay, 0, sizeof *overlay);
    overlay->opacity = 255;
    overlay->alignWithLayer = true;
    overlay->angle = 90;
    overlay->scale = 100;
}

void PatternOverlayDefaults(PsdPatternOverlayEffect* overlay)
{
    PsdFreePatternRef(&overlay->pattern);
    std::memset(overlay, 0, sizeof *overlay);
}

void StrokeDefaults(PsdStrokeEffect* stroke)
{
    PsdFreeGradient(&stroke->gradient);
    PsdFreePatternRef(&stroke->pattern);
    std::memset(stroke, 0, sizeof *stroke);
    stroke->size = 3;
    stroke->opacity = 255;
    stroke->color = 0xFFFF0000;
    stroke->align = true;
    stroke->angle = 90;
    stroke->gradientScale = 100;
    stroke->patternScale = 100;
    stroke->linked = true;
}

void MarkPresent(PsdLayerEffects* effects, int index)
{
    effects->present[index] = true;
    effects->visible[index] = true;
}

} // namespace

void PsdFreeLayerEffects(void* payload)
{
    if (!payload)
        return;
    PsdLayerEffects* effects = static_cast<PsdLayerEffects*>(payload);
    PsdFreeGradient(&effects->outerGlow.gradient);
    PsdFreeGradient(&effects->innerGlow.gradient);
    PsdFreePatternRef(&effects->bevel.pattern);
    PsdFreeGradient(&effects->gradientOverlay.gradient);
    PsdFreePatternRef(&effects->patternOverlay.pattern);
    PsdFreeGradient(&effects->stroke.gradient);
    PsdFreePatternRef(&effects->stroke.pattern);
    PsdFreeMemory(payload);
}

// --- "lrFX" ---------------------------------------------------------------------

namespace
{

// The measures of "lrFX" effects are 16.16 fixed-point values; whole units
// are kept.
int32_t ReadFixed(PsdContext* context)
{
    return int16_t(PsdReadU32(context) >> 16);
}

// A blend mode behind its own "8BIM".
PsdStatus ReadSignedBlendMode(PsdContext* context, int32_t* mode)
{
    if (PsdReadU32(context) != PsdKey("8BIM"))
        return context->readStatus != kPsdOk ? context->readStatus : kPsdBadLayerSignature;
    *mode = PsdReadBlendModeKey(context);
    return kPsdOk;
}

PsdStatus ReadCommonState(PsdContext* context, PsdLayerEffects* effects)
{
    if (PsdReadU32(context) != 0)
        return kPsdBadCommonStateVersion;
    effects->masterEnabled = PsdReadBool(context);
    PsdReadU16(context);
    return kPsdOk;
}

PsdStatus ReadShadow(PsdContext* context, PsdShadowEffect* shadow)
{
    ShadowDefaults(shadow);
    const uint32_t version = PsdReadU32(context);
    if (version != 0 && version != 2)
        return kPsdBadShadowVersion;
    shadow->size = ReadFixed(context);
    shadow->choke = ReadFixed(context); // the intensity
    shadow->angle = ReadFixed(context);
    shadow->distance = ReadFixed(context);
    shadow->color = PsdReadColor(context);
    const PsdStatus status = ReadSignedBlendMode(context, &shadow->blendMode);
    if (status != kPsdOk)
        return status;
    shadow->enabled = PsdReadBool(context);
    shadow->useGlobalLight = PsdReadBool(context);
    shadow->opacity = PsdReadU8(context);
    if (version == 2)
        shadow->nativeColor = PsdReadColor(context);
    return kPsdOk;
}

PsdStatus ReadGlow(PsdContext* context, PsdGlowEffect* glow, bool inner)
{
    GlowDefaults(glow, inner);
    const uint32_t version = PsdReadU32(context);
    if (version != 0 && version != 2)
        return inner ? kPsdBadInnerGlowVersion : kPsdBadOuterGlowVersion;
    glow->size = ReadFixed(context);
    glow->spread = ReadFixed(context); // the intensity
    glow->color = PsdReadColor(context);
    const PsdStatus status = ReadSignedBlendMode(context, &glow->blendMode);
    if (status != kPsdOk)
        return status;
    glow->enabled = PsdReadBool(context);
    glow->opacity = PsdReadU8(context);
    if (version == 2)
    {
        if (inner && PsdReadBool(context))
            glow->source = 0; // inverted: from the centre
        glow->nativeColor = PsdReadColor(context);
    }
    return kPsdOk;
}

PsdStatus ReadBevel(PsdContext* context, PsdBevelEffect* bevel)
{
    BevelDefaults(bevel);
    const uint32_t version = PsdReadU32(context);
    if (version != 0 && version != 2)
        return kPsdBadBevelVersion;
    bevel->angle = ReadFixed(context);
    bevel->depth = ReadFixed(context); // the strength
    bevel->size = ReadFixed(context);  // the blur
    PsdStatus status = ReadSignedBlendMode(context, &bevel->highlightBlendMode);
    if (status == kPsdOk)
        status = ReadSignedBlendMode(context, &bevel->shadowBlendMode);
    if (status != kPsdOk)
        return status;
    bevel->highlightColor = PsdReadColor(context);
    bevel->shadowColor = PsdReadColor(context);
    bevel->style = PsdReadU8(context);
    bevel->highlightOpacity = PsdReadU8(context);
    bevel->shadowOpacity = PsdReadU8(context);
    bevel->enabled = PsdReadBool(context);
    bevel->useGlobalLight = PsdReadBool(context);
    bevel->direction = PsdReadU8(context);
    if (version == 2)
    {
        bevel->highlightNativeColor = PsdReadColor(context);
        bevel->shadowNativeColor = PsdReadColor(context);
    }
    return kPsdOk;
}

PsdStatus ReadSolidFill(PsdContext* context, PsdColorOverlayEffect* fill)
{
    ColorOverlayDefaults(fill);
    if (PsdReadU32(context) != 2)
        return kPsdBadSolidFillVersion;
    const PsdStatus status = ReadSignedBlendMode(context, &fill->blendMode);
    if (status != kPsdOk)
        return status;
    fill->color = PsdReadColor(context);
    fill->opacity = PsdReadU8(context);
    fill->enabled = PsdReadBool(context);
    fill->nativeColor = PsdReadColor(context);
    return kPsdOk;
}

PsdStatus ReadBinaryEffect(PsdContext* context, PsdLayerEffects* effects, uint32_t key)
{
    switch (key)
    {
    case PsdKey("cmnS"):
        return ReadCommonState(context, effects);
    case PsdKey("dsdw"):
        MarkPresent(effects, kPsdEffectDropShadow);
        return ReadShadow(context, &effects->dropShadow);
    case PsdKey("isdw"):
        MarkPresent(effects, kPsdEffectInnerShadow);
        return ReadShadow(context, &effects->innerShadow);
    case PsdKey("oglw"):
        MarkPresent(effects, kPsdEffectOuterGlow);
        return ReadGlow(context, &effects->outerGlow, false);
    case PsdKey("iglw"):
        MarkPresent(effects, kPsdEffectInnerGlow);
        return ReadGlow(context, &effects->innerGlow, true);
    case PsdKey("bevl"):
        MarkPresent(effects, kPsdEffectBevel);
        return ReadBevel(context, &effects->bevel);
    case PsdKey("sofi"):
        MarkPresent(effects, kPsdEffectColorOverlay);
        return ReadSolidFill(context, &effects->colorOverlay);
    default:
        return kPsdUnknownEffect;
    }
}

} // namespace

PsdStatus PsdReadLayerEffects(PsdContext* context, PsdLayerRecord* record)
{
    PsdLayerEffects* effects = nullptr;
    PsdStatus status = PsdAppendLayerBlock(context, record, kPsdInfoLayerEffects,
                                           sizeof(PsdLayerEffects),
                                           reinterpret_cast<void**>(&effects));
    if (status != kPsdOk)
        return status;
    if (PsdReadU16(context) != 0)
        return context->readStatus != kPsdOk ? context->readStatus : kPsdBadEffectsVersion;
    effects->effectCount = int16_t(PsdReadU16(context));
    for (int i = 0; i < effects->effectCount && status == kPsdOk; ++i)
    {
        if (PsdReadU32(context) != PsdKey("8BIM"))
            return context->readStatus != kPsdOk ? context->readStatus : kPsdBadEffectSignature;
        const uint32_t key = PsdReadU32(context);
        // Each effect states its size; what it holds past the fields read
        // here is skipped with it.
        const uint32_t size = PsdReadU32(context);
        if (context->readStatus != kPsdOk)
            return context->readStatus;
        PsdBlock block;
        PsdBeginBlock(context, size, 0, &block);
        status = ReadBinaryEffect(context, effects, key);
        PsdEndBlock(context, &block);
    }
    return context->readStatus != kPsdOk ? context->readStatus : status;
}

// --- "lfx2" ---------------------------------------------------------------------

namespace
{

// Where an effect keeps what its descriptor's keys set; keys whose target is
// null are skipped.
struct EffectTargets
{
    bool* enabled = nullptr;
    int32_t* blendMode = nullptr;
    uint8_t* opacity = nullptr;
    uint32_t* color = nullptr;
    uint32_t* nativeColor = nullptr;
    int32_t* glowFillType = nullptr; // set by "Clr " and "Grad" of the glows
    bool* useGlobalLight = nullptr;
    int32_t* lightAngle = nullptr; // "lagl"
    int32_t* distance = nullptr;
    int32_t* choke = nullptr;      // the glows' spread
    int32_t* blur = nullptr;
    int32_t* noise = nullptr;
    bool* antiAlias = nullptr;
    uint8_t* transferContour = nullptr; // "TrnS"
    bool* layerConceals = nullptr;
    int32_t* glowTechnique = nullptr;
    PsdGradient* gradient = nullptr;
    int32_t* range = nullptr;
    int32_t* jitter = nullptr;
    int32_t* source = nullptr;
    int32_t* bevelStyle = nullptr;
    int32_t* bevelTechnique = nullptr;
    int32_t* bevelDirection = nullptr;
    int32_t* depth = nullptr;
    int32_t* soften = nullptr;
    int32_t* altitude = nullptr;
    int32_t* highlightBlendMode = nullptr;
    uint32_t* highlightColor = nullptr;
    uint32_t* highlightNativeColor = nullptr;
    uint8_t* highlightOpacity = nullptr;
    int32_t* shadowBlendMode = nullptr;
    uint32_t* shadowColor = nullptr;
    uint32_t* shadowNativeColor = nullptr;
    uint8_t* shadowOpacity = nullptr;
    uint8_t* mappingContour = nullptr; // "MpgS"
    bool* antiAliasGloss = nullptr;
    bool* useShape = nullptr;
    bool* useTexture = nullptr;
    int32_t* textureDepth = nullptr;
    int32_t* phaseX = nullptr;
    int32_t* phaseY = nullptr;
    PsdPatternRef* pattern = nullptr;
    int32_t* scale = nullptr;
    // The stroke's "Scl " lands by its fill type: gradient or pattern scale.
    const int32_t* strokeFillType = nullptr;
    int32_t* gradientScale = nullptr;
    int32_t* patternScale = nullptr;
    bool* invertTexture = nullptr;
    bool* align = nullptr;
    bool* invert = nullptr;
    bool* reverse = nullptr;
    int32_t* gradientStyle = nullptr;
    int32_t* gradientAngle = nullptr; // "Angl"
    int32_t* offsetX = nullptr;
    int32_t* offsetY = nullptr;
    int32_t* strokePosition = nullptr;
    int32_t* strokeFill = nullptr;
    int32_t* strokeSize = nullptr;
    bool* linked = nullptr;
};

struct EnumName
{
    const char* key;
    int32_t value;
};

template <size_t N>
void ReadNamedEnum(PsdContext* context, uint32_t type, int32_t* out, const EnumName (&names)[N])
{
    PsdDescriptorKey value;
    if (!PsdReadEnumItem(context, type, &value))
        return;
    for (const EnumName& name : names)
        if (PsdKeyIs(&value, name.key))
            *out = name.value;
}

void ReadColorPair(PsdContext* context, uint32_t type, uint32_t* color, uint32_t* native)
{
    uint32_t value = 0;
    if (!PsdReadColorItem(context, type, &value))
        return;
    if (color)
        *color = value;
    if (native)
        *native = value;
}

// Reads one item of an effect's descriptor into its target. Returns false
// when the key has no target here, with nothing read.
bool ReadEffectItem(PsdContext* context, const PsdDescriptorKey* key, uint32_t type,
                    const EffectTargets& t)
{
    auto is = [key](const char* text) { return PsdKeyIs(key, text); };
    if (is("enab") && t.enabled)
        PsdReadBoolItem(context, type, t.enabled);
    else if (is("Md  ") && t.blendMode)
        PsdReadBlendModeItem(context, type, t.blendMode);
    else if (is("Opct") && t.opacity)
        PsdReadOpacityItem(context, type, t.opacity);
    else if (is("Clr ") && (t.color || t.nativeColor))
    {
        ReadColorPair(context, type, t.color, t.nativeColor);
        if (t.glowFillType && type == PsdKey("Objc"))
            *t.glowFillType = 0;
    }
    else if (is("uglg") && t.useGlobalLight)
        PsdReadBoolItem(context, type, t.useGlobalLight);
    else if (is("lagl") && t.lightAngle)
        PsdReadIntegerItem(context, type, t.lightAngle);
    else if (is("Dstn") && t.distance)
        PsdReadIntegerItem(context, type, t.distance);
    else if (is("Ckmt") && t.choke)
        PsdReadIntegerItem(context, type, t.choke);
    else if (is("blur") && t.blur)
        PsdReadIntegerItem(context, type, t.blur);
    else if (is("Nose") && t.noise)
        PsdReadIntegerItem(context, type, t.noise);
    else if (is("AntA") && t.antiAlias)
        PsdReadBoolItem(context, type, t.antiAlias);
    else if (is("TrnS") && t.transferContour)
        PsdReadContourItem(context, type, t.transferContour);
    else if (is("layerConceals") && t.layerConceals)
        PsdReadBoolItem(context, type, t.layerConceals);
    else if (is("GlwT") && t.glowTechnique)
        PsdReadTechniqueItem(context, type, t.glowTechnique);
    else if (is("Grad") && t.gradient)
    {
        if (PsdReadGradientItem(context, type, t.gradient) && t.glowFillType)
            *t.glowFillType = 1;
    }
    else if (is("Inpr") && t.range)
        PsdReadIntegerItem(context, type, t.range);
    else if (is("ShdN") && t.jitter)
        PsdReadIntegerItem(context, type, t.jitter);
    else if (is("glwS") && t.source)
    {
        static const EnumName sources[] = {{"SrcC", 0}, {"SrcE", 1}};
        ReadNamedEnum(context, type, t.source, sources);
    }
    else if (is("bvlS") && t.bevelStyle)
    {
        static const EnumName styles[] = {
            {"OtrB", 0}, {"InrB", 1}, {"Embs", 2}, {"PlEb", 3}, {"strokeEmboss", 4}};
        ReadNamedEnum(context, type, t.bevelStyle, styles);
    }
    else if (is("bvlT") && t.bevelTechnique)
        PsdReadTechniqueItem(context, type, t.bevelTechnique);
    else if (is("bvlD") && t.bevelDirection)
    {
        static const EnumName directions[] = {{"In  ", 0}, {"Out ", 1}};
        ReadNamedEnum(context, type, t.bevelDirection, directions);
    }
    else if (is("srgR") && t.depth)
        PsdReadIntegerItem(context, type, t.depth);
    else if (is("Sftn") && t.soften)
        PsdReadIntegerItem(context, type, t.soften);
    else if (is("Lald") && t.altitude)
        PsdReadIntegerItem(context, type, t.altitude);
    else if (is("hglM") && t.highlightBlendMode)
        PsdReadBlendModeItem(context, type, t.highlightBlendMode);
    else if (is("hglC") && t.highlightColor)
        ReadColorPair(context, type, t.highlightColor, t.highlightNativeColor);
    else if (is("hglO") && t.highlightOpacity)
        PsdReadOpacityItem(context, type, t.highlightOpacity);
    else if (is("sdwM") && t.shadowBlendMode)
        PsdReadBlendModeItem(context, type, t.shadowBlendMode);
    else if (is("sdwC") && t.shadowColor)
        ReadColorPair(context, type, t.shadowColor, t.shadowNativeColor);
    else if (is("sdwO") && t.shadowOpacity)
        PsdReadOpacityItem(context, type, t.shadowOpacity);
    else if (is("MpgS") && t.mappingContour)
        PsdReadContourItem(context, type, t.mappingContour);
    else if (is("antialiasGloss") && t.antiAliasGloss)
        PsdReadBoolItem(context, type, t.antiAliasGloss);
    else if (is("useShape") && t.useShape)
        PsdReadBoolItem(context, type, t.useShape);
    else if (is("useTexture") && t.useTexture)
        PsdReadBoolItem(context, type, t.useTexture);
    else if (is("textureDepth") && t.textureDepth)
        PsdReadIntegerItem(context, type, t.textureDepth);
    else if (is("phase") && t.phaseX)
        PsdReadPointItem(context, type, t.phaseX, t.phaseY);
    else if (is("Ptrn") && t.pattern)
        PsdReadPatternRefItem(context, type, t.pattern);
    else if (is("Scl ") && t.strokeFillType)
    {
        int32_t value = 0;
        if (PsdReadIntegerItem(context, type, &value))
        {
            if (*t.strokeFillType == 1)
                *t.gradientScale = value;
            else if (*t.strokeFillType == 2)
                *t.patternScale = value;
        }
    }
    else if (is("Scl ") && t.scale)
        PsdReadIntegerItem(context, type, t.scale);
    else if (is("InvT") && t.invertTexture)
        PsdReadBoolItem(context, type, t.invertTexture);
    else if (is("Algn") && t.align)
        PsdReadBoolItem(context, type, t.align);
    else if (is("Invr") && t.invert)
        PsdReadBoolItem(context, type, t.invert);
    else if (is("Rvrs") && t.reverse)
        PsdReadBoolItem(context, type, t.reverse);
    else if (is("Type") && t.gradientStyle)
        PsdReadGradientStyleItem(context, type, t.gradientStyle);
    else if (is("Angl") && t.gradientAngle)
        PsdReadIntegerItem(context, type, t.gradientAngle);
    else if (is("Ofst") && t.offsetX)
        PsdReadPointItem(context, type, t.offsetX, t.offsetY);
    else if (is("Styl") && t.strokePosition)
    {
        static const EnumName positions[] = {{"OutF", 0}, {"InsF", 1}, {"CtrF", 2}};
        ReadNamedEnum(context, type, t.strokePosition, positions);
    }
    else if (is("PntT") && t.strokeFill)
    {
        static const EnumName fills[] = {{"SClr", 0}, {"GrFl", 1}, {"Ptrn", 2}};
        ReadNamedEnum(context, type, t.strokeFill, fills);
    }
    else if (is("Sz  ") && t.strokeSize)
        PsdReadIntegerItem(context, type, t.strokeSize);
    else if (is("Lnkd") && t.linked)
        PsdReadBoolItem(context, type, t.linked);
    else
        return false;
    return true;
}

// Reads an effect's descriptor (its key and type consumed) into its targets.
void ReadEffectDescriptor(PsdContext* context, const EffectTargets& targets)
{
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (!ReadEffectItem(context, &key, type, targets))
            PsdSkipDescriptorItem(type, context);
    });
}

void ReadShadowDescriptor(PsdContext* context, PsdShadowEffect* e, bool drop)
{
    ShadowDefaults(e);
    EffectTargets t;
    t.enabled = &e->enabled;
    t.blendMode = &e->blendMode;
    t.opacity = &e->opacity;
    t.color = &e->color;
    t.nativeColor = &e->nativeColor;
    t.useGlobalLight = &e->useGlobalLight;
    t.lightAngle = &e->angle;
    t.distance = &e->distance;
    t.choke = &e->choke;
    t.blur = &e->size;
    t.noise = &e->noise;
    t.antiAlias = &e->antiAlias;
    t.transferContour = e->contour;
    if (drop)
        t.layerConceals = &e->layerKnocksOut;
    ReadEffectDescriptor(context, t);
}

void ReadGlowDescriptor(PsdContext* context, PsdGlowEffect* e, bool inner)
{
    GlowDefaults(e, inner);
    EffectTargets t;
    t.enabled = &e->enabled;
    t.blendMode = &e->blendMode;
    t.opacity = &e->opacity;
    t.color = &e->color;
    t.nativeColor = &e->nativeColor;
    t.glowFillType = &e->fillType;
    t.choke = &e->spread;
    t.blur = &e->size;
    t.noise = &e->noise;
    t.antiAlias = &e->antiAlias;
    t.transferContour = e->contour;
    t.glowTechnique = &e->technique;
    t.gradient = &e->gradient;
    t.range = &e->range;
    t.jitter = &e->jitter;
    if (inner)
        t.source = &e->source;
    ReadEffectDescriptor(context, t);
}

void ReadBevelDescriptor(PsdContext* context, PsdBevelEffect* e)
{
    BevelDefaults(e);
    EffectTargets t;
    t.enabled = &e->enabled;
    t.bevelStyle = &e->style;
    t.bevelTechnique = &e->technique;
    t.depth = &e->depth;
    t.bevelDirection = &e->direction;
    t.blur = &e->size;
    t.soften = &e->soften;
    t.lightAngle = &e->angle;
    t.useGlobalLight = &e->useGlobalLight;
    t.altitude = &e->altitude;
    t.transferContour = e->glossContour;
    t.antiAliasGloss = &e->antiAliasGloss;
    t.highlightBlendMode = &e->highlightBlendMode;
    t.highlightColor = &e->highlightColor;
    t.highlightNativeColor = &e->highlightNativeColor;
    t.highlightOpacity = &e->highlightOpacity;
    t.shadowBlendMode = &e->shadowBlendMode;
    t.shadowColor = &e->shadowColor;
    t.shadowNativeColor = &e->shadowNativeColor;
    t.shadowOpacity = &e->shadowOpacity;
    t.useShape = &e->useShape;
    t.mappingContour = e->contour;
    t.antiAlias = &e->antiAlias;
    t.range = &e->range;
    t.useTexture = &e->useTexture;
    t.pattern = &e->pattern;
    t.scale = &e->scale;
    t.textureDepth = &e->textureDepth;
    t.invertTexture = &e->invertTexture;
    t.align = &e->alignWithLayer;
    t.phaseX = &e->phaseX;
    t.phaseY = &e->phaseY;
    ReadEffectDescriptor(context, t);
}

void ReadSatinDescriptor(PsdContext* context, PsdSatinEffect* e)
{
    SatinDefaults(e);
    EffectTargets t;
    t.enabled = &e->enabled;
    t.blendMode = &e->blendMode;
    t.color = &e->color;
    t.opacity = &e->opacity;
    t.lightAngle = &e->angle;
    t.distance = &e->distance;
    t.blur = &e->size;
    t.mappingContour = e->contour;
    t.antiAlias = &e->antiAlias;
    t.invert = &e->invert;
    ReadEffectDescriptor(context, t);
}

void ReadColorOverlayDescriptor(PsdContext* context, PsdColorOverlayEffect* e)
{
    ColorOverlayDefaults(e);
    EffectTargets t;
    t.enabled = &e->enabled;
    t.blendMode = &e->blendMode;
    t.color = &e->color;
    t.nativeColor = &e->nativeColor;
    t.opacity = &e->opacity;
    ReadEffectDescriptor(context, t);
}

void ReadGradientOverlayDescriptor(PsdContext* context, PsdGradientOverlayEffect* e)
{
    GradientOverlayDefaults(e);
    EffectTargets t;
    t.enabled = &e->enabled;
    t.blendMode = &e->blendMode;
    t.opacity = &e->opacity;
    t.gradient = &e->gradient;
    t.reverse = &e->reverse;
    t.gradientStyle = &e->style;
    t.align = &e->alignWithLayer;
    t.gradientAngle = &e->angle;
    t.scale = &e->scale;
    t.offsetX = &e->offsetX;
    t.offsetY = &e->offsetY;
    ReadEffectDescriptor(context, t);
}

void ReadPatternOverlayDescriptor(PsdContext* context, PsdPatternOverlayEffect* e)
{
    PatternOverlayDefaults(e);
    EffectTargets t;
    t.enabled = &e->enabled;
    t.blendMode = &e->blendMode;
    t.opacity = &e->opacity;
    t.pattern = &e->pattern;
    t.scale = &e->scale;
    t.align = &e->alignWithLayer;
    t.phaseX = &e->phaseX;
    t.phaseY = &e->phaseY;
    ReadEffectDescriptor(context, t);
}

void ReadStrokeDescriptor(PsdContext* context, PsdStrokeEffect* e)
{
    StrokeDefaults(e);
    EffectTargets t;
    t.enabled = &e->enabled;
    t.strokeSize = &e->size;
    t.strokePosition = &e->position;
    t.blendMode = &e->blendMode;
    t.opacity = &e->opacity;
    t.strokeFill = &e->fillType;
    t.color = &e->color;
    t.gradient = &e->gradient;
    t.reverse = &e->reverse;
    t.gradientStyle = &e->gradientStyle;
    t.align = &e->align;
    t.gradientAngle = &e->angle;
    t.strokeFillType = &e->fillType;
    t.gradientScale = &e->gradientScale;
    t.patternScale = &e->patternScale;
    t.offsetX = &e->offsetX;
    t.offsetY = &e->offsetY;
    t.pattern = &e->pattern;
    t.linked = &e->linked;
    t.phaseX = &e->phaseX;
    t.phaseY = &e->phaseY;
    ReadEffectDescriptor(context, t);
}

// Reads the effect an item of the effects descriptor names; false for any
// other item, with nothing read.
bool ReadObjectEffect(PsdContext* context, PsdLayerEffects* effects, const PsdDescriptorKey* key)
{
    auto is = [key](const char* text) { return PsdKeyIs(key, text); };
    int index = -1;
    if (is("DrSh"))
    {
        index = kPsdEffectDropShadow;
        ReadShadowDescriptor(context, &effects->dropShadow, true);
    }
    else if (is("IrSh"))
    {
        index = kPsdEffectInnerShadow;
        ReadShadowDescriptor(context, &effects->innerShadow, false);
    }
    else if (is("OrGl"))
    {
        index = kPsdEffectOuterGlow;
        ReadGlowDescriptor(context, &effects->outerGlow, false);
    }
    else if (is("IrGl"))
    {
        index = kPsdEffectInnerGlow;
        ReadGlowDescriptor(context, &effects->innerGlow, true);
    }
    else if (is("ebbl"))
    {
        index = kPsdEffectBevel;
        ReadBevelDescriptor(context, &effects->bevel);
    }
    else if (is("ChFX"))
    {
        index = kPsdEffectSatin;
        ReadSatinDescriptor(context, &effects->satin);
    }
    else if (is("SoFi"))
    {
        index = kPsdEffectColorOverlay;
        ReadColorOverlayDescriptor(context, &effects->colorOverlay);
    }
    else if (is("GrFl"))
    {
        index = kPsdEffectGradientOverlay;
        ReadGradientOverlayDescriptor(context, &effects->gradientOverlay);
    }
    else if (is("patternFill"))
    {
        index = kPsdEffectPatternOverlay;
        ReadPatternOverlayDescriptor(context, &effects->patternOverlay);
    }
    else if (is("FrFX"))
    {
        index = kPsdEffectStroke;
        ReadStrokeDescriptor(context, &effects->stroke);
    }
    else
        return false;
    MarkPresent(effects, index);
    ++effects->effectCount;
    return true;
}

} // namespace

PsdStatus PsdReadObjectEffects(PsdContext* context, PsdLayerRecord* record)
{
    PsdLayerEffects* effects = nullptr;
    const PsdStatus status = PsdAppendLayerBlock(context, record, kPsdInfoObjectEffects,
                                                 sizeof(PsdLayerEffects),
                                                 reinterpret_cast<void**>(&effects));
    if (status != kPsdOk)
        return status;
    const uint32_t objectVersion = PsdReadU32(context);
    const uint32_t descriptorVersion = PsdReadU32(context);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    if (objectVersion != 0 || descriptorVersion != 16)
        return kPsdBadEffectsVersion;
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        // The master switch is known by its key, wherever it stands.
        if (PsdKeyIs(&key, "masterFXSwitch"))
        {
            bool on = false;
            if (PsdReadBoolItem(context, type, &on))
                effects->masterEnabled = on;
        }
        else if (type != PsdKey("Objc") || !ReadObjectEffect(context, effects, &key))
            PsdSkipDescriptorItem(type, context);
    });
    return context->readStatus;
}
