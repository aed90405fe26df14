#include <OldUtils.hpp>
#include "Widgets.h"

TOldButton* TToolbar::Add(const char* caption) {
  TOldButton* button = new TOldButton(this);
  button->Caption = caption;
  return button;
}
#pragma link "A.obj"
  #  include "x\\SysUtils.hpp"
