#include "base/error.h"

AppError currentError() {
    try {
        throw;
    } catch (const AppError& error) {
        return error;
    } catch (const std::exception& error) {
        return AppError(0, error.what());
    } catch (...) {
        return AppError(0, "An unknown failure occurred");
    }
}
