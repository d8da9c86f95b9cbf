#pragma once
#define IDD_SKIN_TEST 300
