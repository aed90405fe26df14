#ifndef WIDGETS_H
#define WIDGETS_H

class TOldButton;

class TToolbar {
 public:
  TOldButton* Add(const char* caption);
};

#endif
