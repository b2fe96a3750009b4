// The graph document: up to ten function definitions, the view settings,
// and the sampled point list of each function slot.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace kurvana {

using Colour = uint32_t;  // 0x00BBGGRR

constexpr uint32_t MAX_FUNCTIONS = 10;
constexpr size_t EXPRESSION_BYTES = 256;       // field size, with terminator
constexpr size_t EXPRESSION_MAX_LENGTH = 254;  // longest text stored

enum FunctionKind : int32_t {
  FUNCTION_EXPLICIT = 1,
  FUNCTION_PARAMETRIC = 2,
  FUNCTION_POLAR = 3,
  FUNCTION_IMPLICIT = 4,
};

constexpr uint32_t FLAG_VISIBLE = 0x1;

enum PointFlag : uint32_t {
  POINT_VALID = 1,
  POINT_BREAK = 2,
};

enum TickMode : int32_t {
  TICKS_NONE = 0,
  TICKS_MARKS = 1,
  TICKS_GRID = 2,
};

constexpr int32_t kMinDensity = 1;
constexpr int32_t kMaxDensity = 6;
constexpr double kDomainLimit = 9999.0;

constexpr Colour kColourBlack = 0x000000;
constexpr Colour kColourGrey = 0x808080;
constexpr Colour kColourRed = 0x0000FF;

struct FunctionEntry {
  int32_t kind;
  uint32_t flags;
  char expression[EXPRESSION_BYTES];   // multibyte text (Shift-JIS)
  char expression2[EXPRESSION_BYTES];  // g(t) of a parametric function
  double domain_min;
  double domain_max;
  Colour colour;
  int32_t density;
};

struct FunctionList {
  uint32_t capacity;
  uint32_t count;
  FunctionEntry entries[MAX_FUNCTIONS];
};

// Stored byte for byte in the document file header.
struct ViewSettings {
  int32_t x_min;
  int32_t x_max;
  int32_t y_min;
  int32_t y_max;
  uint32_t zoom_percent;
  uint16_t axis_width;
  uint16_t graph_width;
  Colour axis_colour;
  int32_t tick_mode;
  Colour tick_colour;
};

static_assert(sizeof(ViewSettings) == 36);
static_assert(offsetof(ViewSettings, zoom_percent) == 16);
static_assert(offsetof(ViewSettings, axis_width) == 20);
static_assert(offsetof(ViewSettings, graph_width) == 22);
static_assert(offsetof(ViewSettings, axis_colour) == 24);
static_assert(offsetof(ViewSettings, tick_mode) == 28);
static_assert(offsetof(ViewSettings, tick_colour) == 32);
static_assert(offsetof(FunctionEntry, domain_min) == 520);
static_assert(sizeof(FunctionEntry) == 544);

struct CurvePoint {
  uint32_t flag;
  double x;
  double y;
};

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};

// One sampled curve; the array is allocated with malloc by a sampler.
struct PointList {
  uint32_t point_count = 0;
  Colour colour = 0;
  uint32_t pen_width = 0;
  std::unique_ptr<CurvePoint[], FreeDeleter> points;

  void release() {
    points.reset();
    point_count = 0;
  }
};

// Point list i belongs to entry i.
using PointTable = std::array<PointList, MAX_FUNCTIONS>;

void set_default_view(ViewSettings& view);

// An empty list: capacity 10, count 0, every entry zero.
void clear_function_list(FunctionList& list);

// A new entry as the function list dialog prepares it: explicit, empty
// texts, domain -10 to 10, red, visible, density 3.
FunctionEntry new_function_entry();

}  // namespace kurvana
