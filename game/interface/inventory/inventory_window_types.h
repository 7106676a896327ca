#pragma once
// The inventory's window classes by the type names layouts use: "tIcon", "tIconStrip",
// "tInvAddWindow".

class TWindowManager;

void RegisterInventoryWindowTypes(TWindowManager* manager);
