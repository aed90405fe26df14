#ifndef WIDGETS_H
#define WIDGETS_H

#include <vector>

class TOldButton;

class TToolbar {
 public:
  TOldButton* Add(const char* caption);
  TOldButton* Find(TObject* sender);

 private:
  std::vector<TOldButton*> buttons;
};

#endif
