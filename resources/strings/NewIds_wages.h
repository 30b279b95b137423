#pragma once

// Ids the wage pages need that the generated header does not name yet.
enum : int {
    IDD_EDIT_WAGES = 388,
};
