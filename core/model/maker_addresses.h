// The web pages of Veyra Software that the program opens.
#pragma once

// The maker's home page: "Download Here" and both links of the about box.
constexpr char kMakerHomePage[] = "https://www.veyra.example/";
// The download page: the two advertising labels of the main dialog.
constexpr char kMakerDownloadPage[] = "https://www.veyra.example/downloads/index.html";
// The home page of the maker's second web site: the banner picture.
constexpr char kMakerLabsHomePage[] = "https://www.veyra-labs.example/";
