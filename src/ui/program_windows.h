#pragma once
#include "core/views.h"
#include "ui/Form2.h"

#include <memory>

// The program's windows, each created and loaded the first time it is used.
class ProgramForms : public Forms {
public:
    MainWindowView& Form2() override { return form2(); }
    ::Form2& form2();

private:
    std::unique_ptr<::Form2> form2_;
};
