#include "Core/Psd/PsdReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// Action descriptors: typed, keyed item lists. Every structure is read by key,
// whatever order its items come in, and every value by the type its item
// declares, so that an item of an unexpected type or position is skipped as a
// whole instead of derailing the rest.

namespace
{

// The status a count that cannot fit in the bytes left deserves.
PsdStatus OverrunStatus(const PsdContext* context)
{
    return context->limit >= context->fileSize ? kPsdShortRead : kPsdBlockOverrun;
}

// Whether `count` entries of at least `each` bytes can be in the bytes left;
// marks the read status when they cannot.
bool CountFits(PsdContext* context, uint64_t count, uint64_t each)
{
    const int64_t left = PsdBytesLeft(context);
    if (left >= 0 && count <= uint64_t(left) / each)
        return true;
    PsdSetReadStatus(context, OverrunStatus(context));
    return false;
}

// Counts one more level of nesting; false (and the read status marked) past
// the limit.
bool Enter(PsdContext* context)
{
    if (context->descriptorDepth >= kPsdMaxDescriptorDepth)
    {
        PsdSetReadStatus(context, kPsdBadDescriptor);
        return false;
    }
    ++context->descriptorDepth;
    return true;
}

void Leave(PsdContext* context)
{
    --context->descriptorDepth;
}

void SkipUnicodeString(PsdContext* context)
{
    const uint32_t count = PsdReadU32(context);
    PsdSkipBytes(context, int64_t(count) * 2);
}

void SkipKey(PsdContext* context)
{
    const uint32_t length = PsdReadU32(context);
    PsdSkipBytes(context, length == 0 ? 4 : int64_t(length));
}

// Skips a length-prefixed block of bytes.
void SkipData(PsdContext* context)
{
    PsdSkipBytes(context, PsdReadU32(context));
}

// The descriptor's items after its head.
void SkipItems(PsdContext* context, uint32_t count)
{
    for (uint32_t i = 0; i < count && PsdDescriptorGoesOn(context); ++i)
    {
        SkipKey(context);
        PsdSkipDescriptorItem(PsdReadU32(context), context);
    }
}

double UnitFloat(PsdContext* context)
{
    PsdReadU32(context); // the unit
    return PsdReadF64(context);
}

void SetKeyText(PsdDescriptorKey* key, const char* text, uint32_t length)
{
    key->length = length;
    const uint32_t kept = std::min<uint32_t>(length, sizeof key->text - 1);
    std::memcpy(key->text, text, kept);
    key->text[kept] = 0;
}

// Replaces a UTF-16 array with one read from the file.
void ReadUnits(PsdContext* context, uint32_t* length, uint16_t** units)
{
    PsdFreeIfSet(*units);
    *units = nullptr;
    *length = 0;
    const uint32_t count = PsdReadU32(context);
    const PsdStatus status = PsdReadUnicodeUnits(context, count, units);
    if (status != kPsdOk)
        PsdSetReadStatus(context, status);
    else
        *length = count;
}

// Reads the elements of a list ("VlLs", its type consumed): each is handed to
// `read` when it is a descriptor, else skipped. Returns how many were read.
template <typename Read> uint32_t ReadObjectList(PsdContext* context, uint32_t count, Read read)
{
    uint32_t done = 0;
    for (uint32_t i = 0; i < count && PsdDescriptorGoesOn(context); ++i)
    {
        const uint32_t type = PsdReadU32(context);
        if (type == PsdKey("Objc") && context->readStatus == kPsdOk)
            read(done++);
        else
            PsdSkipDescriptorItem(type, context);
    }
    return done;
}

// Allocates an array of `count` entries for a list, or marks why not.
template <typename T> bool AllocateEntries(PsdContext* context, uint32_t count, T** out)
{
    *out = nullptr;
    if (count == 0)
        return true;
    if (count > 0xFFFF)
    {
        PsdSetReadStatus(context, kPsdListFull);
        return false;
    }
    const PsdStatus status =
        PsdAllocArray(context, count, sizeof(T), reinterpret_cast<void**>(out));
    if (status != kPsdOk)
    {
        PsdSetReadStatus(context, status);
        return false;
    }
    return true;
}

} // namespace

// --- Keys and heads ----------------------------------------------------------

void PsdReadDescriptorKey(PsdContext* context, PsdDescriptorKey* key)
{
    const uint32_t length = PsdReadU32(context);
    if (length == 0)
    {
        const uint32_t code = PsdReadU32(context);
        const char text[4] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
        SetKeyText(key, text, 4);
        return;
    }
    char text[256] = {};
    const int64_t kept = std::min<int64_t>(length, sizeof text - 1);
    PsdReadBytes(context, text, kept);
    PsdSkipBytes(context, int64_t(length) - kept);
    SetKeyText(key, text, length);
}

bool PsdKeyIs(const PsdDescriptorKey* key, const char* text)
{
    return key->length == std::strlen(text) && std::strcmp(key->text, text) == 0;
}

uint32_t PsdReadDescriptorHead(PsdContext* context, uint32_t* classId)
{
    SkipUnicodeString(context);
    const uint32_t length = PsdReadU32(context);
    uint32_t id = 0;
    if (length == 0)
        id = PsdReadU32(context);
    else
        PsdSkipBytes(context, length);
    if (classId)
        *classId = id;
    return PsdReadU32(context);
}

bool PsdDescriptorGoesOn(const PsdContext* context)
{
    // Every item reads a few bytes at least, so a count larger than the data
    // ends in a short read.
    return context->readStatus == kPsdOk;
}

// --- Skipping by type -------------------------------------------------------------

void PsdSkipDescriptor(PsdContext* context)
{
    if (!Enter(context))
        return;
    SkipItems(context, PsdReadDescriptorHead(context, nullptr));
    Leave(context);
}

void PsdSkipList(PsdContext* context)
{
    if (!Enter(context))
        return;
    const uint32_t count = PsdReadU32(context);
    for (uint32_t i = 0; i < count && PsdDescriptorGoesOn(context); ++i)
        PsdSkipDescriptorItem(PsdReadU32(context), context);
    Leave(context);
}

void PsdSkipClass(PsdContext* context)
{
    SkipUnicodeString(context);
    SkipKey(context);
}

void PsdSkipEnum(PsdContext* context)
{
    SkipKey(context);
    SkipKey(context);
}

void PsdSkipReference(PsdContext* context)
{
    const uint32_t count = PsdReadU32(context);
    for (uint32_t i = 0; i < count && PsdDescriptorGoesOn(context); ++i)
    {
        switch (PsdReadU32(context))
        {
        case PsdKey("prop"):
            PsdSkipClass(context);
            SkipKey(context);
            break;
        case PsdKey("Clss"):
            PsdSkipClass(context);
            break;
        case PsdKey("Enmr"):
            PsdSkipClass(context);
            PsdSkipEnum(context);
            break;
        case PsdKey("rele"):
            PsdSkipClass(context);
            PsdReadU32(context);
            break;
        case PsdKey("Idnt"):
        case PsdKey("indx"):
            PsdReadU32(context);
            break;
        case PsdKey("name"):
            SkipUnicodeString(context);
            break;
        default:
            PsdSetReadStatus(context, kPsdBadDescriptor);
            return;
        }
    }
}

void PsdSkipDescriptorItem(uint32_t type, PsdContext* context)
{
    switch (type)
    {
    case PsdKey("alis"):
    case PsdKey("tdta"):
    case PsdKey("Pth "):
        SkipData(context);
        break;
    case PsdKey("TEXT"):
        SkipUnicodeString(context);
        break;
    case PsdKey("GlbC"):
    case PsdKey("type"):
        PsdSkipClass(context);
        break;
    case PsdKey("GlbO"):
    case PsdKey("Objc"):
        PsdSkipDescriptor(context);
        break;
    case PsdKey("ObAr"):
        // An object array: a count, then a descriptor of lists.
        PsdReadU32(context);
        PsdSkipDescriptor(context);
        break;
    case PsdKey("UntF"):
        PsdSkipBytes(context, 12);
        break;
    case PsdKey("UnFl"):
    {
        PsdReadU32(context); // the unit
        PsdSkipBytes(context, int64_t(PsdReadU32(context)) * 8);
        break;
    }
    case PsdKey("VlLs"):
        PsdSkipList(context);
        break;
    case PsdKey("long"):
        PsdSkipBytes(context, 4);
        break;
    case PsdKey("comp"):
    case PsdKey("doub"):
        PsdSkipBytes(context, 8);
        break;
    case PsdKey("bool"):
        PsdSkipBytes(context, 1);
        break;
    case PsdKey("enum"):
        PsdSkipEnum(context);
        break;
    case PsdKey("obj "):
        if (Enter(context))
        {
            PsdSkipReference(context);
            Leave(context);
        }
        break;
    default:
        // Nothing tells how long an unknown value is: the rest cannot be read.
        PsdSetReadStatus(context, kPsdBadDescriptor);
        break;
    }
}

// --- Item values -----------------------------------------------------------------------

bool PsdReadBoolItem(PsdContext* context, uint32_t type, bool* out)
{
    if (type != PsdKey("bool"))
    {
        PsdSkipDescriptorItem(type, context);
        return false;
    }
    *out = PsdReadBool(context);
    return true;
}

bool PsdReadNumberItem(PsdContext* context, uint32_t type, double* out)
{
    switch (type)
    {
    case PsdKey("doub"):
        *out = PsdReadF64(context);
        return true;
    case PsdKey("UntF"):
        *out = UnitFloat(context);
        return true;
    case PsdKey("long"):
        *out = int32_t(PsdReadU32(context));
        return true;
    case PsdKey("comp"):
    {
        const uint64_t high = PsdReadU32(context);
        *out = double(int64_t(high << 32 | PsdReadU32(context)));
        return true;
    }
    default:
        PsdSkipDescriptorItem(type, context);
        return false;
    }
}

bool PsdReadIntegerItem(PsdContext* context, uint32_t type, int32_t* out)
{
    double value = 0.0;
    if (!PsdReadNumberItem(context, type, &value))
        return false;
    *out = PsdDoubleToInt(value);
    return true;
}

bool PsdReadOpacityItem(PsdContext* context, uint32_t type, uint8_t* out)
{
    double percent = 0.0;
    if (!PsdReadNumberItem(context, type, &percent))
        return false;
    const double value = percent * 2.55 + 0.5;
    *out = uint8_t(std::isnan(value) || value < 0.0 ? 0 : value >= 255.0 ? 255 : int(value));
    return true;
}

bool PsdReadEnumItem(PsdContext* context, uint32_t type, PsdDescriptorKey* value)
{
    if (type != PsdKey("enum"))
    {
        PsdSkipDescriptorItem(type, context);
        return false;
    }
    SkipKey(context); // the type id
    PsdReadDescriptorKey(context, value);
    return true;
}

bool PsdReadColorItem(PsdContext* context, uint32_t type, uint32_t* out)
{
    if (type != PsdKey("Objc"))
    {
        PsdSkipDescriptorItem(type, context);
        return false;
    }
    *out = PsdReadColorDescriptor(context);
    return true;
}

bool PsdReadBlendModeItem(PsdContext* context, uint32_t type, int32_t* out)
{
    PsdDescriptorKey value;
    if (!PsdReadEnumItem(context, type, &value))
        return false;
    *out = PsdBlendModeFromEnum(&value);
    return true;
}

namespace
{

struct EnumName
{
    const char* key;
    int32_t value;
};

template <size_t N> int32_t EnumValue(const PsdDescriptorKey* key, const EnumName (&names)[N])
{
    for (const EnumName& name : names)
        if (PsdKeyIs(key, name.key))
            return name.value;
    return 0;
}

const EnumName kTechniques[] = {{"SfBL", 0}, {"PrBL", 1}, {"Slmt", 2}};
const EnumName kGradientStyles[] = {{"Lnr ", 0}, {"Rdl ", 1}, {"Angl", 2}, {"Rflc", 3}, {"Dmnd", 4}};

} // namespace

bool PsdReadTechniqueItem(PsdContext* context, uint32_t type, int32_t* out)
{
    PsdDescriptorKey value;
    if (!PsdReadEnumItem(context, type, &value))
        return false;
    *out = EnumValue(&value, kTechniques);
    return true;
}

bool PsdReadGradientStyleItem(PsdContext* context, uint32_t type, int32_t* out)
{
    PsdDescriptorKey value;
    if (!PsdReadEnumItem(context, type, &value))
        return false;
    *out = EnumValue(&value, kGradientStyles);
    return true;
}

bool PsdReadGradientItem(PsdContext* context, uint32_t type, PsdGradient* out)
{
    if (type != PsdKey("Objc"))
    {
        PsdSkipDescriptorItem(type, context);
        return false;
    }
    PsdReadGradient(out, context);
    return true;
}

bool PsdReadPatternRefItem(PsdContext* context, uint32_t type, PsdPatternRef* out)
{
    if (type != PsdKey("Objc"))
    {
        PsdSkipDescriptorItem(type, context);
        return false;
    }
    PsdReadPatternRef(out, context);
    return true;
}

bool PsdReadPointItem(PsdContext* context, uint32_t type, int32_t* x, int32_t* y)
{
    if (type != PsdKey("Objc"))
    {
        PsdSkipDescriptorItem(type, context);
        return false;
    }
    PsdReadPoint(x, y, context);
    return true;
}

bool PsdReadContourItem(PsdContext* context, uint32_t type, uint8_t* table)
{
    if (type != PsdKey("Objc"))
    {
        PsdSkipDescriptorItem(type, context);
        return false;
    }
    PsdReadContour(table, context);
    return true;
}

// --- Enumerations ----------------------------------------------------------------------

int32_t PsdBlendModeFromEnum(const PsdDescriptorKey* key)
{
    static const EnumName modes[] = {
        {"Nrml", 0},        {"Dslv", 1},         {"Drkn", 2},        {"Mltp", 3},
        {"CBrn", 4},        {"linearBurn", 5},   {"Lghn", 6},        {"Scrn", 7},
        {"CDdg", 8},        {"linearDodge", 9},  {"Ovrl", 10},       {"SftL", 11},
        {"HrdL", 12},       {"vividLight", 13},  {"linearLight", 14}, {"pinLight", 15},
        {"hardMix", 16},    {"Dfrn", 17},        {"Xclu", 18},       {"H   ", 19},
        {"Strt", 20},       {"Clr ", 21},        {"Lmns", 22},
    };
    return EnumValue(key, modes);
}

int32_t PsdReadBlendModeEnum(PsdContext* context)
{
    PsdDescriptorKey key;
    PsdReadDescriptorKey(context, &key);
    return PsdBlendModeFromEnum(&key);
}

int32_t PsdReadTechniqueEnum(PsdContext* context)
{
    PsdDescriptorKey key;
    PsdReadDescriptorKey(context, &key);
    return EnumValue(&key, kTechniques);
}

int32_t PsdReadGradientStyleEnum(PsdContext* context)
{
    PsdDescriptorKey key;
    PsdReadDescriptorKey(context, &key);
    return EnumValue(&key, kGradientStyles);
}

// --- Structures ------------------------------------------------------------------------

namespace
{

uint8_t ColorComponent(double value)
{
    return uint8_t(std::isnan(value) || value < 0.0 ? 0 : value >= 255.0 ? 255 : int(value));
}

} // namespace

uint32_t PsdReadColorDescriptor(PsdContext* context)
{
    if (!Enter(context))
        return PsdMakeRgb(0, 0, 0);
    // RGB by its classic keys (0..255) or by the newer float keys (0..1);
    // components of other colour classes are skipped.
    double rgb[3] = {0.0, 0.0, 0.0};
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        static const char* const classic[] = {"Rd  ", "Grn ", "Bl  "};
        static const char* const floats[] = {"redFloat", "greenFloat", "blueFloat"};
        int component = -1;
        double scale = 1.0;
        for (int c = 0; c < 3; ++c)
        {
            if (PsdKeyIs(&key, classic[c]))
                component = c;
            else if (PsdKeyIs(&key, floats[c]))
            {
                component = c;
                scale = 255.0;
            }
        }
        double value = 0.0;
        if (component < 0)
            PsdSkipDescriptorItem(type, context);
        else if (PsdReadNumberItem(context, type, &value))
            rgb[component] = value * scale;
    });
    Leave(context);
    return PsdMakeRgb(ColorComponent(rgb[0]), ColorComponent(rgb[1]), ColorComponent(rgb[2]));
}

void PsdFreeGradient(PsdGradient* gradient)
{
    PsdFreeIfSet(gradient->name);
    PsdFreeIfSet(gradient->colorStops);
    PsdFreeIfSet(gradient->transparencyStops);
    std::memset(gradient, 0, sizeof *gradient);
}

void PsdFreePatternRef(PsdPatternRef* pattern)
{
    PsdFreeIfSet(pattern->name);
    std::memset(pattern, 0, sizeof *pattern);
}

namespace
{

// The smallest stop: a type, an empty class name, a class id and a count.
constexpr int64_t kMinimumStopBytes = 4 + 4 + 8 + 4;

void ReadColorStop(PsdContext* context, PsdColorStop* stop)
{
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        int32_t value = 0;
        if (PsdKeyIs(&key, "Clr "))
            PsdReadColorItem(context, type, &stop->color);
        else if (PsdKeyIs(&key, "Type"))
        {
            PsdDescriptorKey kind;
            if (PsdReadEnumItem(context, type, &kind))
                stop->type = PsdKeyIs(&kind, "FrgC") ? 0 : PsdKeyIs(&kind, "BckC") ? 1 : 2;
        }
        else if (PsdKeyIs(&key, "Lctn"))
        {
            if (PsdReadIntegerItem(context, type, &value))
                stop->location = uint32_t(value);
        }
        else if (PsdKeyIs(&key, "Mdpn"))
        {
            if (PsdReadIntegerItem(context, type, &value))
                stop->midpoint = uint32_t(value);
        }
        else
            PsdSkipDescriptorItem(type, context);
    });
}

void ReadTransparencyStop(PsdContext* context, PsdTransparencyStop* stop)
{
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        int32_t value = 0;
        if (PsdKeyIs(&key, "Opct"))
        {
            if (PsdReadIntegerItem(context, type, &value))
                stop->opacity = uint16_t(std::clamp(value, 0, 0xFFFF));
        }
        else if (PsdKeyIs(&key, "Lctn"))
        {
            if (PsdReadIntegerItem(context, type, &value))
                stop->location = uint32_t(value);
        }
        else if (PsdKeyIs(&key, "Mdpn"))
        {
            if (PsdReadIntegerItem(context, type, &value))
                stop->midpoint = uint32_t(value);
        }
        else
            PsdSkipDescriptorItem(type, context);
    });
}

// A list of stops of the item just read, replacing any the gradient held.
template <typename Stop, typename ReadStop>
void ReadStops(PsdContext* context, uint32_t type, uint16_t* count, Stop** stops, ReadStop read)
{
    if (type != PsdKey("VlLs"))
    {
        PsdSkipDescriptorItem(type, context);
        return;
    }
    PsdFreeIfSet(*stops);
    *stops = nullptr;
    *count = 0;
    const uint32_t entries = PsdReadU32(context);
    if (!CountFits(context, entries, kMinimumStopBytes) || !AllocateEntries(context, entries, stops))
        return;
    *count = uint16_t(ReadObjectList(context, entries, [&](uint32_t index) {
        read(context, &(*stops)[index]);
    }));
}

} // namespace

void PsdReadGradient(PsdGradient* gradient, PsdContext* context)
{
    if (!Enter(context))
        return;
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (PsdKeyIs(&key, "Nm  ") && type == PsdKey("TEXT"))
            ReadUnits(context, &gradient->nameLength, &gradient->name);
        else if (PsdKeyIs(&key, "Intr"))
            PsdReadIntegerItem(context, type, &gradient->smoothness);
        else if (PsdKeyIs(&key, "Clrs"))
            ReadStops(context, type, &gradient->colorStopCount, &gradient->colorStops,
                      ReadColorStop);
        else if (PsdKeyIs(&key, "Trns"))
            ReadStops(context, type, &gradient->transparencyStopCount,
                      &gradient->transparencyStops, ReadTransparencyStop);
        else
            PsdSkipDescriptorItem(type, context);
    });
    Leave(context);
}

void PsdReadPatternRef(PsdPatternRef* pattern, PsdContext* context)
{
    if (!Enter(context))
        return;
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (PsdKeyIs(&key, "Idnt") && type == PsdKey("TEXT"))
        {
            // Identifiers are ASCII: one byte per unit, as much as the field holds.
            const uint32_t units = PsdReadU32(context);
            if (!CountFits(context, units, 2))
                return;
            std::memset(pattern->identifier, 0, sizeof pattern->identifier);
            for (uint32_t u = 0; u < units; ++u)
            {
                const uint16_t unit = PsdReadU16(context);
                if (u < sizeof pattern->identifier - 1)
                    pattern->identifier[u] = char(unit & 0xFF);
            }
        }
        else if (PsdKeyIs(&key, "Nm  ") && type == PsdKey("TEXT"))
            ReadUnits(context, &pattern->nameLength, &pattern->name);
        else
            PsdSkipDescriptorItem(type, context);
    });
    Leave(context);
}

void PsdReadPoint(int32_t* x, int32_t* y, PsdContext* context)
{
    if (!Enter(context))
        return;
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (PsdKeyIs(&key, "Hrzn"))
            PsdReadIntegerItem(context, type, x);
        else if (PsdKeyIs(&key, "Vrtc"))
            PsdReadIntegerItem(context, type, y);
        else
            PsdSkipDescriptorItem(type, context);
    });
    Leave(context);
}

// --- Contours ----------------------------------------------------------------------------

void PsdIdentityContour(uint8_t* table)
{
    for (int i = 0; i < 256; ++i)
        table[i] = uint8_t(i);
}

namespace
{

struct ContourPoints
{
    int32_t count = 0;
    int32_t inputs[kPsdMaxContourPoints];
    int32_t outputs[kPsdMaxContourPoints];
    bool corners[kPsdMaxContourPoints];
};

void ReadContourPoint(PsdContext* context, ContourPoints* points)
{
    int32_t input = 0, output = 0;
    bool continuous = true;
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (PsdKeyIs(&key, "Hrzn"))
            PsdReadIntegerItem(context, type, &input);
        else if (PsdKeyIs(&key, "Vrtc"))
            PsdReadIntegerItem(context, type, &output);
        else if (PsdKeyIs(&key, "Cnty"))
            PsdReadBoolItem(context, type, &continuous);
        else
            PsdSkipDescriptorItem(type, context);
    });
    if (points->count >= kPsdMaxContourPoints)
    {
        PsdSetReadStatus(context, kPsdListFull);
        return;
    }
    points->inputs[points->count] = input;
    points->outputs[points->count] = output;
    points->corners[points->count] = !continuous;
    ++points->count;
}

} // namespace

void PsdReadContour(uint8_t* table, PsdContext* context)
{
    if (!Enter(context))
        return;
    ContourPoints points;
    bool curve = false;
    PsdForEachDescriptorItem(context, nullptr, [&](const PsdDescriptorKey& key, uint32_t type) {
        if (PsdKeyIs(&key, "Crv ") && type == PsdKey("VlLs"))
        {
            // A second curve replaces the first.
            points.count = 0;
            curve = true;
            const uint32_t entries = PsdReadU32(context);
            ReadObjectList(context, entries, [&](uint32_t) { ReadContourPoint(context, &points); });
        }
        else
            PsdSkipDescriptorItem(type, context);
    });
    Leave(context);
    if (!curve || context->readStatus != kPsdOk)
        return;
    PsdIdentityContour(table);
    PsdBuildContourTable(points.outputs, table, points.count, points.inputs, points.corners);
}

void PsdBuildContourTable(const int32_t* outputs, uint8_t* table, int32_t count,
                          const int32_t* inputs, const bool* corners)
{
    if (count < 1)
        return;
    auto level = [](double value) { return std::clamp(value, 0.0, 255.0); };
    auto input = [&](int32_t i) { return level(inputs[i]); };
    auto output = [&](int32_t i) { return level(outputs[i]); };

    // Below the first point and from the last one on, the curve is flat.
    const uint8_t first = uint8_t(output(0));
    for (int x = 0; x < int(input(0)); ++x)
        table[x] = first;
    const uint8_t last = uint8_t(output(count - 1));
    for (int x = int(input(count - 1)); x < 256; ++x)
        table[x] = last;

    // Catmull-Rom basis, rows for t^3, t^2, t, 1.
    static const double basis[4][4] = {
        {-0.5, 1.5, -1.5, 0.5}, {1.0, -2.5, 2.0, -0.5}, {-0.5, 0.0, 0.5, 0.0}, {0.0, 1.0, 0.0, 0.0}};
    const double h = 1.0 / 512.0;
    for (int32_t i = 0; i + 1 < count; ++i)
    {
        // A corner stops the curve bending through it from the other side.
        int32_t control[4] = {std::max(i - 1, 0), i, i + 1, std::min(i + 2, count - 1)};
        if (corners[i])
            control[0] = i;
        if (corners[i + 1])
            control[3] = i + 1;
        double x[4], y[4];
        for (int k = 0; k < 4; ++k)
        {
            x[k] = input(control[k]);
            y[k] = output(control[k]);
        }
        // Coefficients, then forward differences over 512 steps.
        double cx[4], cy[4];
        for (int row = 0; row < 4; ++row)
        {
            cx[row] = cy[row] = 0.0;
            for (int k = 0; k < 4; ++k)
            {
                cx[row] += basis[row][k] * x[k];
                cy[row] += basis[row][k] * y[k];
            }
        }
        auto differences = [h](const double* c, double* d) {
            d[0] = c[3];
            d[1] = c[0] * h * h * h + c[1] * h * h + c[2] * h;
            d[2] = 6.0 * c[0] * h * h * h + 2.0 * c[1] * h * h;
            d[3] = 6.0 * c[0] * h * h * h;
        };
        double dx[4], dy[4];
        differences(cx, dx);
        differences(cy, dy);
        for (int step = 0; step <= 512; ++step)
        {
            const double px = level(dx[0]);
            const double py = level(dy[0]);
            table[int(px)] = uint8_t(py);
            for (int k = 0; k < 3; ++k)
            {
                dx[k] += dx[k + 1];
                dy[k] += dy[k + 1];
            }
        }
    }
}
