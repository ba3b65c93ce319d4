#include "framework/score/cell.h"

FCCell::~FCCell() = default;
