#include <OldUtils.hpp>
#include "Widgets.h"

TOldButton* TToolbar::Add(const char* caption) {
	TOldButton* button = new TOldButton(this);
	button->Caption = caption;
	buttons.push_back(button);
	return button;
}

TOldButton* TToolbar::Find(TObject* sender) {
	return dynamic_cast<TOldButton*>(sender);
}
