#pragma once
// The result screen: both sides' scores and ranks.
void ResultFrame();
