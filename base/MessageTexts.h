// Texts of the user interface, by message id: English (2057) and Italian (1040), each exact,
// leading and trailing blanks included. Every id is written here once; code names it through
// msg:: (base/MessageIds.h). Included with GIPSO_MESSAGE(name, id, english, italian) defined.

GIPSO_MESSAGE(ProgramName, 160, u"Gipso",
    u"Gipso")
GIPSO_MESSAGE(OpenMapTitle, 161, u"Open Map",
    u"Apri Mappa")
GIPSO_MESSAGE(OpenMapFilter, 162, u"Calibrated Maps (*.Gipso;*.cal)|*.Gipso;*.cal|All raster Files (*.bmp;*.gif;*.jpg;*.jpeg)|*.bmp;*.gif;*.jpg;*.jpeg|Bitmap Files (*.bmp)|*.bmp|GIF Files (*.gif)|*.gif|JPEG Files (*.jpg;*.jpeg)|*.jpg;*.jpeg|All Files (*.*)|*.*||",
    u"Mappe Calibrate (*.Gipso;*.cal)|*.Gipso;*.cal|Tutti i files raster (*.bmp;*.gif;*.jpg;*.jpeg)|*.bmp;*.gif;*.jpg;*.jpeg|Files Bitmap (*.bmp)|*.bmp|Files GIF (*.gif)|*.gif|Files JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|Tutti i files (*.*)|*.*|")
GIPSO_MESSAGE(SaveMapTitle, 163, u"Save Calibrated Map",
    u"Salva Mappa Calibrata")
GIPSO_MESSAGE(SaveMapFilter, 164, u"Calibrated Maps (*.Gipso;*.cal)|*.Gipso;*.cal|All raster Files (*.bmp;*.gif;*.jpg;*.jpeg)|*.bmp;*.gif;*.jpg;*.jpeg|Bitmap Files (*.bmp)|*.bmp|GIF Files (*.gif)|*.gif|JPEG Files (*.jpg;*.jpeg)|*.jpg;*.jpeg|All Files (*.*)|*.*||",
    u"Mappe Calibrate (*.Gipso;*.cal)|*.Gipso;*.cal|Tutti i files raster (*.bmp;*.gif;*.jpg;*.jpeg)|*.bmp;*.gif;*.jpg;*.jpeg|Files Bitmap (*.bmp)|*.bmp|Files GIF (*.gif)|*.gif|Files JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|Tutti i files (*.*)|*.*|")
GIPSO_MESSAGE(SaveMapDefaultExtension, 165, u".Gipso",
    u".Gipso")
GIPSO_MESSAGE(ExportPointsTitle, 166, u"Export WayPoints, RoutePoints and TrackPoints",
    u"Esporta WayPoints, RoutePoints e TrackPoints")
GIPSO_MESSAGE(ExportPointsFilter, 167, u"Gipso Files (*.txt)|*.txt|GPX Files (*.gpx)|*.gpx|All Files (*.*)|*.*|",
    u"Files Gipso (*.txt)|*.txt|Files GPX (*.gpx)|*.gpx|Tutti i files (*.*)|*.*|")
GIPSO_MESSAGE(ExportPointsDefaultExtension, 168, u".txt",
    u".txt")
GIPSO_MESSAGE(ImportPointsTitle, 169, u"Import WayPoints, RoutePoints and TrackPoints",
    u"Importa WayPoints, RoutePoints e TrackPoints")
GIPSO_MESSAGE(ImportPointsFilter, 170, u"Gipso Files (*.txt)|*.txt|GPX Files (*.gpx)|*.gpx|All Files (*.*)|*.*|",
    u"Files Gipso (*.txt)|*.txt|Files GPX (*.gpx)|*.gpx|Tutti i files (*.*)|*.*|")
GIPSO_MESSAGE(ImportPointsDefaultExtension, 171, u".txt",
    u".txt")
GIPSO_MESSAGE(MenuFile, 172, u"&File",
    u"&File")
GIPSO_MESSAGE(MenuOpenMap, 173, u"Open &Map",
    u"&Apri Mappa")
GIPSO_MESSAGE(MenuSaveCalibratedMap, 174, u"&Save Calibrated Map",
    u"&Salva Mappa Calibrata")
GIPSO_MESSAGE(MenuImportPoints, 175, u"&Import points from File",
    u"&Importa punti da File")
GIPSO_MESSAGE(MenuExportPoints, 176, u"Export points to &File",
    u"Esporta punti su &File")
GIPSO_MESSAGE(MenuOptions, 177, u"&Options ...",
    u"&Opzioni ...")
GIPSO_MESSAGE(MenuExit, 178, u"&Exit",
    u"&Esci")
GIPSO_MESSAGE(MenuCalibration, 179, u"&Calibration",
    u"&Calibrazione")
GIPSO_MESSAGE(MenuCalibrateMap, 180, u"&Calibrate Map",
    u"&Calibra Mappa")
GIPSO_MESSAGE(MenuWayPoints, 181, u"&WayPoints",
    u"&WayPoints")
GIPSO_MESSAGE(MenuWayPointsCreate, 182, u"Dynamic &Creation",
    u"&Creazione Dinamica")
GIPSO_MESSAGE(MenuWayPointsInsert, 183, u"&Insert WayPoints",
    u"&Inserisci WayPoints")
GIPSO_MESSAGE(MenuWayPointsEdit, 184, u"&Modify/Delete WayPoint",
    u"&Modifica/Elimina WayPoint")
GIPSO_MESSAGE(MenuWayPointsDeleteAll, 185, u"Delete &All",
    u"Cancella &Tutti")
GIPSO_MESSAGE(MenuWayPointsDeleteLast, 186, u"Delete &Last",
    u"Cancella &Ultimo")
GIPSO_MESSAGE(MenuWayPointsList, 187, u"&Show List",
    u"&Visualizza Elenco")
GIPSO_MESSAGE(MenuWayPointsDownload, 188, u"&Download from GPS",
    u"&Scarica dal GPS")
GIPSO_MESSAGE(MenuWayPointsUpload, 189, u"&Upload to GPS",
    u"Carica sul &GPS")
GIPSO_MESSAGE(MenuRoutePoints, 190, u"&RoutePoints",
    u"&RoutePoints")
GIPSO_MESSAGE(MenuRoutePointsCreate, 191, u"Dynamic &Creation",
    u"&Creazione Dinamica")
GIPSO_MESSAGE(MenuRoutePointsInsert, 192, u"&Insert RoutePoints",
    u"&Inserisci RoutePoints")
GIPSO_MESSAGE(MenuRoutePointsEdit, 193, u"&Modify/Delete RoutePoint",
    u"&Modifica/Elimina RoutePoint")
GIPSO_MESSAGE(MenuRoutePointsDeleteAll, 194, u"Delete &All",
    u"Cancella &Tutti")
GIPSO_MESSAGE(MenuRoutePointsDeleteLast, 195, u"Delete &Last",
    u"Cancella &Ultimo")
GIPSO_MESSAGE(MenuRoutePointsList, 196, u"&Show List",
    u"&Visualizza Elenco")
GIPSO_MESSAGE(MenuRoutePointsProfile, 197, u"Altitude &Profile",
    u"&Andamento Altimetrico")
GIPSO_MESSAGE(MenuRoutePointsDownload, 198, u"&Download from GPS",
    u"&Scarica dal GPS")
GIPSO_MESSAGE(MenuRoutePointsUpload, 199, u"&Upload to GPS",
    u"Carica sul &GPS")
GIPSO_MESSAGE(MenuTrackPoints, 200, u"&TrackPoints",
    u"&TrackPoints")
GIPSO_MESSAGE(MenuTrackPointsEdit, 201, u"&Modify/Delete TrackPoint",
    u"&Modifica/Elimina TrackPoint")
GIPSO_MESSAGE(MenuTrackPointsDeleteAll, 202, u"Delete &All",
    u"Cancella &Tutti")
GIPSO_MESSAGE(MenuTrackPointsList, 203, u"&Show List",
    u"&Visualizza Elenco")
GIPSO_MESSAGE(MenuTrackPointsProfile, 204, u"Altitude &Profile",
    u"&Andamento Altimetrico")
GIPSO_MESSAGE(MenuTrackStatistics, 205, u"&Track Statistics",
    u"Statistiche &Percorso")
GIPSO_MESSAGE(MenuTrackPointsDownload, 206, u"&Download from GPS",
    u"&Scarica dal GPS")
GIPSO_MESSAGE(MenuLanguages, 207, u"&Languages",
    u"&Lingua")
GIPSO_MESSAGE(ModeCreate, 208, u"CREATE",
    u"CREA")
GIPSO_MESSAGE(ModeModify, 209, u"MODIFY",
    u"MODIFICA")
GIPSO_MESSAGE(KindTagWay, 210, u"WP",
    u"WP")
GIPSO_MESSAGE(KindTagRoute, 211, u"RP",
    u"RP")
GIPSO_MESSAGE(KindTagTrack, 212, u"TP",
    u"TP")
GIPSO_MESSAGE(MenuAbout, 213, u"&About Gipso ...",
    u"&Informazioni su Gipso ...")
GIPSO_MESSAGE(AboutRelease, 214, u"Gipso Release $0",
    u"Gipso Versione $0")
GIPSO_MESSAGE(AboutDescription, 215, u"Freeware software for GPS data management.",
    u"Codice freeware per la gestione di informazioni GPS.")
GIPSO_MESSAGE(AboutLicenseNote, 216, u"(Please carefully read the following license agreement)",
    u"(Leggere attentamente l'accordo di licenza sottostante)")
GIPSO_MESSAGE(AboutSystemInfo, 217, u"&System Info...",
    u"&Sistema...")
GIPSO_MESSAGE(AboutTitle, 218, u"About Gipso",
    u"Informazioni su Gipso")
GIPSO_MESSAGE(UseExistingWayPoint, 219, u"Use existing WayPoint?",
    u"Usare il WayPoint esistente?")
GIPSO_MESSAGE(MenuHelp, 220, u"&Help",
    u"&Guida")
GIPSO_MESSAGE(MenuNmeaAcquisition, 221, u"&NMEA acquisition",
    u"Acquisizione &NMEA")
GIPSO_MESSAGE(InvalidMapFile, 222, u"Invalid image or calibrated map file!",
    u"File di immagine o mappa calibrata non valido!")
GIPSO_MESSAGE(InvalidPointsFile, 223, u"Invalid points file!",
    u"File di punti non valido!")
GIPSO_MESSAGE(InvalidFileExtension, 224, u"Invalid file extension fot this operation! ",
    u"Estensione del file non valida per questa operazione!")
GIPSO_MESSAGE(DropOneMapOnly, 225, u"Please drag & drop one map file only!",
    u"Trascinare un solo file di mappa!")
GIPSO_MESSAGE(MenuView, 226, u"&View",
    u"&Vista")
GIPSO_MESSAGE(MenuZoom100, 227, u"100%",
    u"100%")
GIPSO_MESSAGE(MenuZoomIn, 228, u"Zoom +",
    u"Zoom +")
GIPSO_MESSAGE(MenuZoomOut, 229, u"Zoom -",
    u"Zoom -")
GIPSO_MESSAGE(MenuZoom400, 230, u"400%",
    u"400%")
GIPSO_MESSAGE(MenuZoom200, 231, u"200%",
    u"200%")
GIPSO_MESSAGE(MenuZoom50, 232, u"50%",
    u"50%")
GIPSO_MESSAGE(MenuZoom25, 233, u"25%",
    u"25%")
GIPSO_MESSAGE(MenuPrint, 234, u"&Print",
    u"Stam&pa")
GIPSO_MESSAGE(PrintError, 235, u"Print error!",
    u"Errore durante la stampa!")
GIPSO_MESSAGE(MenuHalftone, 236, u"Pixel &interpolation",
    u"&Interpolazione pixels")
GIPSO_MESSAGE(CalibTitle, 240, u"Map Calibration",
    u"Calibrazione Mappa")
GIPSO_MESSAGE(CalibOk, 241, u"&OK",
    u"&OK")
GIPSO_MESSAGE(CalibCancel, 242, u"&Cancel",
    u"&Annulla")
GIPSO_MESSAGE(CalibSecondPoint, 243, u"Second Point Lat. and Long:",
    u"Lat. e Long. Secondo Punto:")
GIPSO_MESSAGE(CalibFirstPoint, 244, u"First Point Lat. and Long:",
    u"Lat. e Long. Primo Punto:")
GIPSO_MESSAGE(PointDialogTitle, 272, u"WayPoint",
    u"WayPoint")
GIPSO_MESSAGE(PointDialogDelete, 273, u"&Delete Point",
    u"&Elimina Punto")
GIPSO_MESSAGE(PointDialogCancel, 274, u"&Cancel",
    u"&Annulla")
GIPSO_MESSAGE(PointDialogOk, 275, u"&OK",
    u"&OK")
GIPSO_MESSAGE(PointDialogDescription, 276, u"Description (30 characters max.):",
    u"Descrizione (max. 30 caratteri:)")
GIPSO_MESSAGE(PointDialogName, 277, u"Name (6 characters max.):",
    u"Nome (max. 6 caratteri):")
GIPSO_MESSAGE(PointDialogPosition, 278, u"Point Latitude and Longitude:",
    u"Latitudine e Longitudine Punto:")
GIPSO_MESSAGE(PointDialogAltitude, 279, u"Altitude",
    u"Quota")
GIPSO_MESSAGE(CommCancel, 305, u"&Cancel",
    u"&Annulla")
GIPSO_MESSAGE(CommGo, 306, u"&Go",
    u"&Procedi")
GIPSO_MESSAGE(CommPort, 307, u"Port:",
    u"Porta:")
GIPSO_MESSAGE(CommStop, 308, u"&Stop",
    u"&Stop")
GIPSO_MESSAGE(CommBaud, 309, u"Baud:",
    u"Baud:")
GIPSO_MESSAGE(CommNmeaData, 310, u"NMEA Data:",
    u"Dati NMEA:")
GIPSO_MESSAGE(CommAcquisitionTime, 311, u"Acquisition time (s):",
    u"Tempo acquisiz. (s):")
GIPSO_MESSAGE(ListTitle, 352, u"Points View",
    u"Visualizzazione Punti")
GIPSO_MESSAGE(ListOk, 353, u"&OK",
    u"&OK")
GIPSO_MESSAGE(OptionsTitle, 384, u"Options",
    u"Opzioni")
GIPSO_MESSAGE(OptionsLinesAndSymbols, 385, u"Lines and Symbols",
    u"Linee e simboli")
GIPSO_MESSAGE(OptionsSymbolSize, 386, u"Symbol Size:",
    u"Dimensione Simboli:")
GIPSO_MESSAGE(OptionsCharacterSize, 387, u"Character Size:",
    u"Dimensione Carattere:")
GIPSO_MESSAGE(OptionsLineThickness, 388, u"Line Thickness:",
    u"Spessore linee:")
GIPSO_MESSAGE(OptionsCancel, 389, u"&Cancel",
    u"&Annulla")
GIPSO_MESSAGE(OptionsOk, 390, u"&OK",
    u"&OK")
GIPSO_MESSAGE(OptionsColors, 391, u"Colors",
    u"Colori")
GIPSO_MESSAGE(OptionsTrackColor, 392, u"Track...",
    u"Track...")
GIPSO_MESSAGE(OptionsRouteColor, 393, u"RoutePoints...",
    u"RoutePoints...")
GIPSO_MESSAGE(OptionsWayPointColor, 394, u"WayPoints...",
    u"WayPoints...")
GIPSO_MESSAGE(OptionsWayPointSymbol, 395, u"WayPoint Symbol",
    u"Simbolo Waypoint")
GIPSO_MESSAGE(OptionsWayPointName, 396, u"WayPoint Name",
    u"Nome Waypoint")
GIPSO_MESSAGE(OptionsRoutePointSymbol, 397, u"RoutePoint Symbol",
    u"Simbolo RoutePoint")
GIPSO_MESSAGE(OptionsRoutePointName, 398, u"RoutePoint Name",
    u"Nome RoutePoint")
GIPSO_MESSAGE(OptionsRouteHeadings, 399, u"Route Headings",
    u"Angoli Rotte")
GIPSO_MESSAGE(OptionsRouteLengths, 400, u"Route Lengths",
    u"Lunghezze Rotte")
GIPSO_MESSAGE(OptionsTrackPointSymbol, 401, u"TrackPoint Symbol",
    u"Simbolo TrackPoint")
GIPSO_MESSAGE(OptionsTrackPointDescription, 402, u"TrackPoint Description",
    u"Descrizione TrackPoint")
GIPSO_MESSAGE(OptionsShow, 403, u"Show",
    u"Visualizza")
GIPSO_MESSAGE(OptionsAutoTrack, 404, u"Auto Track",
    u"Auto Track")
GIPSO_MESSAGE(OptionsCursorThickness, 405, u"Cursor Thickness:",
    u"Spessore cursore:")
GIPSO_MESSAGE(OptionsApply, 406, u"A&pply",
    u"A&pplica")
GIPSO_MESSAGE(OptionsImport, 407, u"Import",
    u"Importazione")
GIPSO_MESSAGE(OptionsIgnoreTxtDescription, 408, u"Ignore TrackPoint description in Gipso files",
    u"Ignora descrizione TrackPoint nei files Gipso")
GIPSO_MESSAGE(OptionsIgnoreGpxDescription, 409, u"Ignore TrackPoint description in GPX files",
    u"Ignora descrizione TrackPoint nei files GPX")
GIPSO_MESSAGE(OptionsUnits, 410, u"Units",
    u"Unita' di Misura")
GIPSO_MESSAGE(OptionsMetric, 411, u"Metrics (km, Km/h, m, m/s)",
    u"Metriche (km, Km/h, m, m/s)")
GIPSO_MESSAGE(OptionsNautical, 412, u"Nautical (nm, nm/h, f, f/s)",
    u"Nautiche (nm, nm/h, f, f/s)")
GIPSO_MESSAGE(ProfileTitle, 432, u"Altitude Profile",
    u"Andamento Altimetrico")
GIPSO_MESSAGE(ProfileOk, 433, u"&OK",
    u"&OK")
GIPSO_MESSAGE(StatisticsTitle, 464, u"Track Statistics",
    u"Statistiche Percorso")
GIPSO_MESSAGE(StatisticsSpeed, 465, u"Speed:",
    u"Velocità:")
GIPSO_MESSAGE(StatisticsMaxVerticalSpeed, 466, u"Max Vert. speed:",
    u"Vel. asc. max:")
GIPSO_MESSAGE(StatisticsMinVerticalSpeed, 467, u"Min Vert. speed:",
    u"Vel. asc. min:")
GIPSO_MESSAGE(StatisticsMeanVerticalSpeed, 468, u"Mean Vert. speed:",
    u"Vel. asc. media:")
GIPSO_MESSAGE(StatisticsMaxSpeed, 469, u"Max speed:",
    u"Velocità max:")
GIPSO_MESSAGE(StatisticsMeanSpeed, 470, u"Mean speed:",
    u"Velocità media:")
GIPSO_MESSAGE(StatisticsDistanceAndAltitude, 471, u"Distance and Altitude",
    u"Distanze e Quote")
GIPSO_MESSAGE(StatisticsAltitudeDifference, 472, u"Altitude difference:",
    u"Salto quota totale:")
GIPSO_MESSAGE(StatisticsAltitudeRange, 473, u"Total altitude range:",
    u"Salto quota max:")
GIPSO_MESSAGE(StatisticsMaxAltitude, 474, u"Max altitude:",
    u"Quota max:")
GIPSO_MESSAGE(StatisticsMinAltitude, 475, u"Min altitude:",
    u"Quota min:")
GIPSO_MESSAGE(StatisticsTrackLength, 476, u"Track length:",
    u"Lunghezza percorso:")
GIPSO_MESSAGE(StatisticsOk, 477, u"&OK",
    u"&OK")
GIPSO_MESSAGE(StatisticsTimes, 478, u"Times",
    u"Tempi")
GIPSO_MESSAGE(StatisticsEnd, 479, u"End date and time:",
    u"Data e ora di fine:")
GIPSO_MESSAGE(StatisticsStart, 480, u"Start date and time:",
    u"Data e ora di inizio:")
GIPSO_MESSAGE(StatisticsElapsed, 481, u"Elapsed time:",
    u"Durata:")
GIPSO_MESSAGE(ClickFirstCalibrationPoint, 528, u"Click on first calibration point ...",
    u"Clicca sul primo punto di calibrazione ...")
GIPSO_MESSAGE(ClickSecondCalibrationPoint, 529, u"Click on second calibration point ...",
    u"Clicca sul secondo punto di calibrazione ...")
GIPSO_MESSAGE(RoutePointCaption, 530, u"RoutePoint",
    u"RoutePoint")
GIPSO_MESSAGE(WayPointCaption, 531, u"WayPoint",
    u"WayPoint")
GIPSO_MESSAGE(DownloadWayPointsCaption, 532, u"Download Waypoints from GPS",
    u"Scarica i Waypoints dal GPS")
GIPSO_MESSAGE(DownloadRoutePointsCaption, 533, u"Download RoutePoints from GPS",
    u"Scarica i RoutePoints dal GPS")
GIPSO_MESSAGE(UploadWayPointsCaption, 534, u"Upload Waypoints to GPS",
    u"Carica i Waypoints sul GPS")
GIPSO_MESSAGE(UploadRoutePointsCaption, 535, u"Upload RoutePoints to GPS",
    u"Carica i RoutePoints sul GPS")
GIPSO_MESSAGE(DownloadTrackPointsCaption, 536, u"Download TrackPoints from GPS",
    u"Scarica i TrackPoints dal GPS")
GIPSO_MESSAGE(WayPointListCaption, 537, u"WayPoint List",
    u"Elenco WayPoints")
GIPSO_MESSAGE(RoutePointListCaption, 538, u"RoutePoint List",
    u"Elenco RoutePoints")
GIPSO_MESSAGE(TrackPointListCaption, 539, u"TrackPoint List",
    u"Elenco TrackPoints")
GIPSO_MESSAGE(RouteProfileCaption, 540, u"Route Altitude Profile",
    u"Andamento Altimetrico Rotta")
GIPSO_MESSAGE(TrackProfileCaption, 541, u"Track Altitude Profile",
    u"Andamento Altimetrico Percorso TrackPoints")
GIPSO_MESSAGE(WayPointName, 542, u"WayPoint",
    u"WayPoint")
GIPSO_MESSAGE(RoutePointName, 543, u"RoutePoint",
    u"RoutePoint")
GIPSO_MESSAGE(TrackPointName, 544, u"TrackPoint",
    u"TrackPoint")
GIPSO_MESSAGE(LatitudePanel, 545, u" Lat. = ",
    u" Lat. = ")
GIPSO_MESSAGE(LongitudePanel, 546, u" Long. = ",
    u" Long. = ")
GIPSO_MESSAGE(InsertInRoute, 547, u"Insert a new point in the Route?",
    u"Inserire un nuovo punto nella Rotta?")
GIPSO_MESSAGE(NmeaAcquisitionCaption, 548, u"NMEA acquisition",
    u"Acquisizione NMEA")
GIPSO_MESSAGE(CoincidentCoordinates, 592, u"Coincident coordinates not allowed!",
    u"Coordinate coincidenti non valide!")
GIPSO_MESSAGE(ErrorPrefix, 593, u"ERROR N° ",
    u"ERRORE N° ")
GIPSO_MESSAGE(CalibPolesNotAllowed, 594, u"Poles are not allowed!",
    u"I Poli non sono ammessi!")
GIPSO_MESSAGE(WrongLatitude, 595, u"Wrong Latitude value!",
    u"Valore di Latitudine non corretto!")
GIPSO_MESSAGE(WrongLongitude, 596, u"Wrong Longitude value!",
    u"Valore di Longitudine non corretto!")
GIPSO_MESSAGE(CommaNotAllowed, 624, u"ERROR: comma character not allowed in name and/or description of $0.",
    u"ERRORE: il nome e/o la descrizione del $0 non possono contenere la virgola.")
GIPSO_MESSAGE(PointDialogErrorPrefix, 625, u"ERROR N° ",
    u"ERRORE N° ")
GIPSO_MESSAGE(DeleteSelected, 626, u"Delete selected $0?",
    u"Eliminare il $0 selezionato?")
GIPSO_MESSAGE(PointDialogInsert, 627, u"&Insert",
    u"&Inserisci")
GIPSO_MESSAGE(PointDialogExit, 628, u"&Exit",
    u"&Esci")
GIPSO_MESSAGE(PointDialogPolesNotAllowed, 629, u"Poles are not allowed!",
    u"I Poli non sono ammessi!")
GIPSO_MESSAGE(DeleteLastQuestion, 630, u"Delete last $0?",
    u"Cancellare l'ultimo $0?")
GIPSO_MESSAGE(DeleteAllQuestion, 631, u"Delete all $0s?",
    u"Cancellare tutti i $0s?")
GIPSO_MESSAGE(InputTimeOut, 656, u"Input Time Out",
    u"Time Out in ricezione")
GIPSO_MESSAGE(ChecksumError, 657, u"Checksum  error",
    u"Errore di checksum ")
GIPSO_MESSAGE(InputError, 658, u"Input error",
    u"Errore di ricezione")
GIPSO_MESSAGE(DownloadingWayPoints, 659, u"Downloading WayPoints...",
    u"Scaricamento WayPoints...")
GIPSO_MESSAGE(TransmissionAborted, 660, u"Transmission aborted",
    u"Trasmissione non completata correttamente")
GIPSO_MESSAGE(WayPointsDownloaded, 661, u"$0 WayPoints downloaded.",
    u"Scaricati $0 WayPoints.")
GIPSO_MESSAGE(DownloadingRoutePoints, 662, u"Downloading RoutePoints...",
    u"Scaricamento RoutePoints...")
GIPSO_MESSAGE(RoutePointsDownloaded, 663, u"$0 RoutePoints downloaded.",
    u"Scaricati $0 RoutePoints.")
GIPSO_MESSAGE(DownloadingTrackPoints, 664, u"Downloading TrackPoints...",
    u"Scaricamento TrackPoints...")
GIPSO_MESSAGE(TrackPointsDownloaded, 665, u"$0 TrackPoints and $1 tracks downloaded.",
    u"Scaricati $0 TrackPoints con $1 tracks.")
GIPSO_MESSAGE(UploadingWayPoints, 666, u"Uploading WayPoints...",
    u"Caricamento WayPoints...")
GIPSO_MESSAGE(WayPointsUploaded, 667, u"$0 WayPoints uploaded.",
    u"Caricati $0 WayPoints.")
GIPSO_MESSAGE(UploadingRoutePoints, 668, u"Uploading RoutePoints...",
    u"Caricamento RoutePoints...")
GIPSO_MESSAGE(RoutePointsUploaded, 669, u"$0 RoutePoints uploaded.",
    u"Caricati $0 RoutePoints.")
GIPSO_MESSAGE(CommOk, 670, u"&OK",
    u"&OK")
GIPSO_MESSAGE(CommErrorPrefix, 671, u"ERROR N° ",
    u"ERRORE N° ")
GIPSO_MESSAGE(ConnectGps, 672, u"Connect GPS to PC and turn it on before going on ...",
    u"Collegare il GPS al PC e accenderlo prima di procedere...")
GIPSO_MESSAGE(NmeaRunning, 673, u"NMEA running...",
    u"NMEA in funzione...")
GIPSO_MESSAGE(NmeaStopped, 674, u"NMEA stopped.",
    u"NMEA fermata.")
GIPSO_MESSAGE(ListWayPointsHeading, 704, u"WayPoints List. ",
    u"Elenco WayPoints. ")
GIPSO_MESSAGE(ListWayPointsColumns, 705, u"NAME       LATITUDE     LONGITUDE ALTITUDE    DATE     TIME    DESCRIPTION ",
    u"NOME     LATITUDINE   LONGITUDINE    QUOTA    DATA      ORA    DESCRIZIONE ")
GIPSO_MESSAGE(ListWayPointsCount, 706, u"N° $0 WayPoints.",
    u"N°  $0 WayPoints.")
GIPSO_MESSAGE(ListRoutePointsHeading, 707, u"RoutePoints List. ",
    u"Elenco RoutePoints. ")
GIPSO_MESSAGE(ListRoutePointsColumns, 708, u"NAME       LATITUDE     LONGITUDE ALTITUDE    DATE     TIME    DESCRIPTION ",
    u"NOME     LATITUDINE   LONGITUDINE    QUOTA    DATA      ORA    DESCRIZIONE ")
GIPSO_MESSAGE(ListRoutePointsCount, 709, u"N° $0 RoutePoints.",
    u"N°  $0 RoutePoints.")
GIPSO_MESSAGE(ListTrackLength, 710, u"Track length:",
    u"Lunghezza percorso:")
GIPSO_MESSAGE(ListTrackPointsHeading, 711, u"TrackPoints List. ",
    u"Elenco TrackPoints. ")
GIPSO_MESSAGE(ListTrackPointsColumns, 712, u"NAME       LATITUDE     LONGITUDE ALTITUDE    DATE     TIME    DESCRIPTION ",
    u"NOME     LATITUDINE   LONGITUDINE    QUOTA    DATA      ORA    DESCRIZIONE ")
GIPSO_MESSAGE(ListTrackPointsCount, 713, u"N° $0 TrackPoints.",
    u"N°  $0 TrackPoints.")
GIPSO_MESSAGE(ListRouteLength, 714, u"Route length:",
    u"Lunghezza rotta:")
GIPSO_MESSAGE(ListRouteOrthodrome, 715, u"Orthodrome total length:",
    u"Lunghezza totale ortodromia:")
GIPSO_MESSAGE(ListTrackOrthodrome, 716, u"Orthodrome total length:",
    u"Lunghezza totale ortodromia:")
GIPSO_MESSAGE(ListHeading, 717, u"Heading:",
    u"Angolo:")
GIPSO_MESSAGE(ListDistance, 718, u"Distance:",
    u"Distanza:")
GIPSO_MESSAGE(Loading, 719, u"Loading...",
    u"Caricamento...")
GIPSO_MESSAGE(ProfileAllAltitudes, 752, u"All points altitude is $0",
    u"Tutti i punti sono alla quota di $0")
GIPSO_MESSAGE(ProfileAltitudeRange, 753, u"Altitude Range: $0",
    u"Salto Quota: $0")
GIPSO_MESSAGE(ProfileRouteLength, 754, u"Route length: $0",
    u"Lunghezza rotta: $0")
GIPSO_MESSAGE(ProfileTrackLength, 755, u"Track length: $0",
    u"Lunghezza percorso: $0")
GIPSO_MESSAGE(NegativeTimeSteps, 816, u"Error: negative or null time steps!!!",
    u"Errore: salti di tempo negativi o nulli!!")
GIPSO_MESSAGE(SaveMapQuestion, 840, u"Save calibrated map?",
    u"Salvare la mappa calibrata?")
GIPSO_MESSAGE(SavePointsQuestion, 841, u"Save points?",
    u"Salvare i punti?")
GIPSO_MESSAGE(SystemInfoMissing, 842, u"System Information not available.",
    u"Informazioni sul sistema non disponibili.")
GIPSO_MESSAGE(AboutOk, 843, u"&OK",
    u"&OK")
GIPSO_MESSAGE(MenuReverseTrack, 844, u"&Reverse Track",
    u"&Inverti Percorso")
GIPSO_MESSAGE(ReverseTrackQuestion, 845, u"Dates and Times will be overwritten. Proceed?",
    u"Data e ora saranno sovrascritte. Procedere?")
GIPSO_MESSAGE(MenuReverseRoute, 846, u"&Reverse Route",
    u"&Inverti Rotta")
GIPSO_MESSAGE(ReverseRouteQuestion, 847, u"Dates and Times will be overwritten. Proceed?",
    u"Data e ora saranno sovrascritte. Procedere?")
GIPSO_MESSAGE(TempFolderMissing, 1030, u"A private temporary folder cannot be made in $0 ($1): .Gipso maps cannot be opened or saved.",
    u"Impossibile creare una cartella temporanea privata in $0 ($1): le mappe .Gipso non possono essere aperte né salvate.")
GIPSO_MESSAGE(ChecksumMismatch, 1050, u"Checksum error: expected $0, received $1",
    u"Errore di checksum: atteso $0, ricevuto $1")
GIPSO_MESSAGE(PacketEndWrong, 1051, u"Input error: the packet ends with $0 instead of 10 03",
    u"Errore di ricezione: il pacchetto termina con $0 invece di 10 03")
GIPSO_MESSAGE(LoneDle, 1052, u"Input error: a DLE inside the packet is not doubled",
    u"Errore di ricezione: un DLE nel pacchetto non è raddoppiato")
GIPSO_MESSAGE(LineClosed, 1053, u"The line closed: the receiver hung up",
    u"La linea si è chiusa: il ricevitore ha riagganciato")
GIPSO_MESSAGE(NoValidPacket, 1054, u"No valid packet within the time-out",
    u"Nessun pacchetto valido entro il time out")
GIPSO_MESSAGE(NoCompleteLine, 1055, u"No complete NMEA line within the time-out",
    u"Nessuna riga NMEA completa entro il time out")
GIPSO_MESSAGE(PacketStillDamaged, 1056, u"Packet $0 still damaged after $1 resends",
    u"Pacchetto $0 ancora danneggiato dopo $1 reinvii")
GIPSO_MESSAGE(PacketNotAcknowledged, 1057, u"The receiver did not acknowledge packet $0 after $1 resends",
    u"Il ricevitore non ha confermato il pacchetto $0 dopo $1 reinvii")
GIPSO_MESSAGE(NoPositionFix, 1058, u"No position fix within the time-out",
    u"Nessuna posizione entro il time out")
GIPSO_MESSAGE(OverlongLineSkipped, 1059, u"Line longer than $0 bytes skipped",
    u"Scartata una riga più lunga di $0 byte")
GIPSO_MESSAGE(PointValueOutOfRange, 1060, u"Overflow: $0 $1 \"$2\": $3 out of range",
    u"Overflow: $0 $1 \"$2\": $3 fuori dai limiti")
GIPSO_MESSAGE(LatitudeValue, 1061, u"latitude $0",
    u"latitudine $0")
GIPSO_MESSAGE(LongitudeValue, 1062, u"longitude $0",
    u"longitudine $0")
GIPSO_MESSAGE(TooManyPoints, 1063, u"Overflow: $0 $1s, at most $2 can be sent",
    u"Overflow: $0 $1s, se ne possono inviare al massimo $2")
GIPSO_MESSAGE(NotRegularFile, 1000, u"not a regular file, left as it is",
    u"non è un file regolare, lasciato com'è")
GIPSO_MESSAGE(SettingsNotSaved, 1001, u"The settings could not be saved in $0: $1",
    u"Impossibile salvare le impostazioni in $0: $1")
GIPSO_MESSAGE(FileIgnored, 1002, u"$0 is ignored: $1",
    u"$0 viene ignorato: $1")
GIPSO_MESSAGE(LargerThan, 1003, u"larger than $0 bytes",
    u"più grande di $0 byte")
GIPSO_MESSAGE(LineTooLong, 1004, u"line $0: longer than $1 bytes",
    u"riga $0: più lunga di $1 byte")
GIPSO_MESSAGE(SettingsLinesSkipped, 1005, u"$0: $1 lines longer than $2 bytes skipped",
    u"$0: $1 righe più lunghe di $2 byte saltate")
GIPSO_MESSAGE(NotEnoughMemory, 1006, u"not enough memory for the points of this file",
    u"memoria insufficiente per i punti di questo file")
GIPSO_MESSAGE(NotAFileToRead, 1007, u"not a regular file",
    u"non è un file regolare")
GIPSO_MESSAGE(MenuEdit, 1070, u"&Edit",
    u"&Modifica")
GIPSO_MESSAGE(MenuUndo, 1071, u"&Undo",
    u"&Annulla")
GIPSO_MESSAGE(MenuRedo, 1072, u"&Redo",
    u"&Ripeti")
GIPSO_MESSAGE(GeneratedTrackName, 1073, u"Track $0",
    u"Traccia $0")
GIPSO_MESSAGE(ListCopy, 1100, u"&Copy",
    u"&Copia")
GIPSO_MESSAGE(ListSelectAll, 1101, u"Select &All",
    u"Seleziona &tutto")
GIPSO_MESSAGE(StatisticsTooFewPoints, 1120, u"The track statistics need at least two TrackPoints.",
    u"Le statistiche del percorso richiedono almeno due TrackPoints.")
GIPSO_MESSAGE(SysInfoTitle, 1150, u"System Information",
    u"Informazioni sul sistema")
GIPSO_MESSAGE(SysInfoCopy, 1151, u"&Copy",
    u"&Copia")
GIPSO_MESSAGE(SysInfoClose, 1152, u"&Close",
    u"&Chiudi")
GIPSO_MESSAGE(SysInfoVersion, 1153, u"Gipso version: $0",
    u"Versione di Gipso: $0")
GIPSO_MESSAGE(SysInfoQt, 1154, u"Qt version: $0 (built with $1)",
    u"Versione di Qt: $0 (compilato con $1)")
GIPSO_MESSAGE(SysInfoSystem, 1155, u"Operating system: $0",
    u"Sistema operativo: $0")
GIPSO_MESSAGE(SysInfoKernel, 1156, u"Kernel: $0",
    u"Kernel: $0")
GIPSO_MESSAGE(SysInfoConfigFolder, 1157, u"Configuration folder: $0",
    u"Cartella della configurazione: $0")
GIPSO_MESSAGE(SysInfoDataFolder, 1158, u"Data folder: $0",
    u"Cartella dei dati: $0")
GIPSO_MESSAGE(SysInfoNotFound, 1159, u"(not found)",
    u"(non trovata)")
GIPSO_MESSAGE(SysInfoPorts, 1160, u"Serial ports:",
    u"Porte seriali:")
GIPSO_MESSAGE(SysInfoNoPorts, 1161, u"none found",
    u"nessuna trovata")
GIPSO_MESSAGE(SysInfoPortUsable, 1162, u"this user may read and write it",
    u"questo utente può leggerla e scriverla")
GIPSO_MESSAGE(SysInfoPortDenied, 1163, u"no permission for this user",
    u"nessun permesso per questo utente")
GIPSO_MESSAGE(SysInfoPortDeniedGroup, 1164, u"no permission for this user (the port belongs to the group $0)",
    u"nessun permesso per questo utente (la porta appartiene al gruppo $0)")
GIPSO_MESSAGE(AboutCredits, 1165, u"Gipso for Linux, by the Gipso developers.",
    u"Gipso per Linux, a cura degli sviluppatori di Gipso.")
GIPSO_MESSAGE(AboutCreditsLibraries, 1166, u"Built with Qt, libzip and libjpeg-turbo.",
    u"Realizzato con Qt, libzip e libjpeg-turbo.")
GIPSO_MESSAGE(ErrInvalidCall, 1250, u"Invalid procedure call or argument",
    u"Chiamata di routine o argomento non validi")
GIPSO_MESSAGE(ErrOverflow, 1251, u"Overflow",
    u"Overflow")
GIPSO_MESSAGE(ErrOutOfMemory, 1252, u"Out of memory",
    u"Memoria esaurita")
GIPSO_MESSAGE(ErrDivisionByZero, 1253, u"Division by zero",
    u"Divisione per zero")
GIPSO_MESSAGE(ErrTypeMismatch, 1254, u"Type mismatch",
    u"Tipo non corrispondente")
GIPSO_MESSAGE(ErrFileNotFound, 1255, u"File not found",
    u"Impossibile trovare il file")
GIPSO_MESSAGE(ErrFileIo, 1256, u"Device I/O error",
    u"Errore di I/O della periferica")
GIPSO_MESSAGE(ErrPathAccess, 1257, u"Path/File access error",
    u"Errore di accesso al percorso/file")
GIPSO_MESSAGE(PortOpenFailed, 1258, u"Port $0 cannot be opened: $1",
    u"Impossibile aprire la porta $0: $1")
GIPSO_MESSAGE(PortNotFound, 1259, u"no such device",
    u"il dispositivo non esiste")
GIPSO_MESSAGE(PortNoPermission, 1260, u"permission denied, or the port is in use by another program",
    u"permesso negato, o la porta è usata da un altro programma")
GIPSO_MESSAGE(JpegSaveFailed, 1261, u"Failed to save to JPG $0",
    u"Salvataggio in JPG non riuscito $0")
GIPSO_MESSAGE(JpegInitFailed, 1262, u"Failed to initialise the IJL library: $0",
    u"Impossibile inizializzare la libreria IJL: $0")
GIPSO_MESSAGE(ProblemAtLine, 1200, u"line $0: $1",
    u"riga $0: $1")
GIPSO_MESSAGE(LatitudeNotNumber, 1201, u"latitude is not a number",
    u"la latitudine non è un numero")
GIPSO_MESSAGE(LongitudeNotNumber, 1202, u"longitude is not a number",
    u"la longitudine non è un numero")
GIPSO_MESSAGE(AltitudeNotNumber, 1203, u"altitude is not a number",
    u"l'altitudine non è un numero")
GIPSO_MESSAGE(DateNotReadable, 1204, u"date is not dd/mm/yyyy",
    u"la data non è gg/mm/aaaa")
GIPSO_MESSAGE(TimeNotReadable, 1205, u"time is not hh:nn:ss",
    u"l'ora non è hh:mm:ss")
GIPSO_MESSAGE(RecordTypeUnknown, 1206, u"record type is not WP, RP or TP",
    u"il tipo di record non è WP, RP o TP")
GIPSO_MESSAGE(GpxNoLatitude, 1207, u"$0 has no readable lat=\"...\"",
    u"$0 non ha un lat=\"...\" leggibile")
GIPSO_MESSAGE(GpxNoLongitude, 1208, u"$0 has no readable lon=\"...\"",
    u"$0 non ha un lon=\"...\" leggibile")
GIPSO_MESSAGE(GpxNameUnclosed, 1209, u"$0 has a name without </name>",
    u"$0 ha un nome senza </name>")
GIPSO_MESSAGE(GpxElevationUnclosed, 1210, u"$0 has an elevation without </ele>",
    u"$0 ha una quota senza </ele>")
GIPSO_MESSAGE(GpxElevationNotNumber, 1211, u"$0 has an elevation that is not a number",
    u"$0 ha una quota che non è un numero")
GIPSO_MESSAGE(GpxDescriptionUnclosed, 1212, u"$0 has a description without </desc>",
    u"$0 ha una descrizione senza </desc>")
GIPSO_MESSAGE(GpxTimeUnclosed, 1213, u"$0 has a time without </time>",
    u"$0 ha un'ora senza </time>")
GIPSO_MESSAGE(GpxTimeNotReadable, 1214, u"$0 has a time that is not yyyy-mm-ddThh:mm:ss",
    u"$0 ha un'ora che non è aaaa-mm-ggThh:mm:ss")
GIPSO_MESSAGE(GpxElementCutOff, 1215, u"$0 does not end before the end of the file",
    u"$0 non termina prima della fine del file")
GIPSO_MESSAGE(GpxElementTooLong, 1216, u"$0 is too long",
    u"$0 è troppo lungo")
GIPSO_MESSAGE(GpxDocumentCutOff, 1217, u"the file ends before </gpx>: it may be cut off",
    u"il file termina prima di </gpx>: potrebbe essere troncato")
GIPSO_MESSAGE(NoPointsFound, 1218, u"no WayPoint, RoutePoint or TrackPoint found",
    u"nessun WayPoint, RoutePoint o TrackPoint trovato")
GIPSO_MESSAGE(NoSuchFile, 1220, u"no such file",
    u"file inesistente")
GIPSO_MESSAGE(NotAPicture, 1221, u"not a picture",
    u"non è un'immagine")
GIPSO_MESSAGE(PictureCutShort, 1222, u"$0 data cut short at byte $1",
    u"dati $0 troncati al byte $1")
GIPSO_MESSAGE(PictureDamaged, 1223, u"$0 data damaged",
    u"dati $0 danneggiati")
GIPSO_MESSAGE(PictureTooLarge, 1224, u"picture of $0 x $1 pixels is too large",
    u"immagine di $0 x $1 pixel troppo grande")
GIPSO_MESSAGE(PictureNoMemory, 1225, u"not enough memory for $0 x $1 pixels",
    u"memoria insufficiente per $0 x $1 pixel")
GIPSO_MESSAGE(CalibrationOutOfRange, 1226, u"calibration values out of range or degenerate",
    u"valori di calibrazione fuori dai limiti o degeneri")
GIPSO_MESSAGE(CalibrationMissing, 1227, u"shorter than its calibration trailer",
    u"più corto della sua calibrazione finale")
GIPSO_MESSAGE(CalibrationUnreadable, 1228, u"unreadable calibration",
    u"calibrazione illeggibile")
GIPSO_MESSAGE(ContainerNoMember, 1229, u"no $0 member in the container",
    u"nessun membro $0 nel contenitore")
GIPSO_MESSAGE(ContainerUnsafeName, 1230, u"unsafe member name '$0'",
    u"nome di membro non sicuro '$0'")
GIPSO_MESSAGE(NoTempFolderToWork, 1231, u"no private temporary folder to work in",
    u"nessuna cartella temporanea privata in cui lavorare")
GIPSO_MESSAGE(ExtractedImageNotKept, 1232, u"$0: cannot keep the extracted image",
    u"$0: impossibile conservare l'immagine estratta")
GIPSO_MESSAGE(NotAMapFile, 1233, u"not a map file",
    u"non è un file di mappa")
GIPSO_MESSAGE(LinesSkipped, 1240, u"Lines or elements skipped in $0: $1; the first: $2",
    u"Righe o elementi saltati in $0: $1; il primo: $2")
GIPSO_MESSAGE(PointsImported, 1241, u"$0 WayPoints, $1 RoutePoints and $2 TrackPoints imported from $3",
    u"$0 WayPoints, $1 RoutePoints e $2 TrackPoints importati da $3")
GIPSO_MESSAGE(PointsExported, 1242, u"$0 WayPoints, $1 RoutePoints and $2 TrackPoints exported to $3",
    u"$0 WayPoints, $1 RoutePoints e $2 TrackPoints esportati su $3")
GIPSO_MESSAGE(MapSaved, 1243, u"Calibrated map saved as $0",
    u"Mappa calibrata salvata come $0")
GIPSO_MESSAGE(TrackPointsAcquired, 1244, u"$0 TrackPoints acquired",
    u"$0 TrackPoints acquisiti")
GIPSO_MESSAGE(AllMapsFilter, 1245, u"All maps (*.Gipso;*.cal;*.bmp;*.gif;*.jpg;*.jpeg)|*.Gipso;*.cal;*.bmp;*.gif;*.jpg;*.jpeg|",
    u"Tutte le mappe (*.Gipso;*.cal;*.bmp;*.gif;*.jpg;*.jpeg)|*.Gipso;*.cal;*.bmp;*.gif;*.jpg;*.jpeg|")
GIPSO_MESSAGE(AllPointFilesFilter, 1246, u"All point files (*.gpx;*.txt)|*.gpx;*.txt|",
    u"Tutti i files di punti (*.gpx;*.txt)|*.gpx;*.txt|")
GIPSO_MESSAGE(ContainerDuplicateMember, 1263, u"the container holds two members of the same name",
    u"il contenitore ha due elementi con lo stesso nome")
GIPSO_MESSAGE(ContainerUnreadableDirectory, 1264, u"unreadable archive directory",
    u"indice dell'archivio illeggibile")
GIPSO_MESSAGE(ContainerTooManyMembers, 1265, u"$0 members, more than a map container may hold",
    u"$0 elementi, più di quanti ne possa contenere una mappa")
GIPSO_MESSAGE(ContainerNotOpen, 1266, u"no archive open",
    u"nessun archivio aperto")
GIPSO_MESSAGE(ContainerEncrypted, 1267, u"encrypted",
    u"cifrato")
GIPSO_MESSAGE(ContainerMemberTooLarge, 1268, u"larger than $0 bytes",
    u"più grande di $0 byte")
GIPSO_MESSAGE(ContainerInflatesTooMuch, 1269, u"inflates more than $0-fold",
    u"si espande più di $0 volte")
GIPSO_MESSAGE(ContainerTruncated, 1270, u"truncated data",
    u"dati troncati")
GIPSO_MESSAGE(ContainerTooMuchData, 1271, u"more data than the archive states",
    u"più dati di quanti ne dichiari l'archivio")
GIPSO_MESSAGE(ContainerCannotWrite, 1272, u"cannot write the extracted data",
    u"impossibile scrivere i dati estratti")
GIPSO_MESSAGE(NoSuchFileReason, 1273, u"$0: no such file",
    u"$0: file inesistente")
GIPSO_MESSAGE(NoMapLoaded, 1274, u"no map loaded",
    u"nessuna mappa caricata")
GIPSO_MESSAGE(NoSuchFolder, 1275, u"no such folder",
    u"cartella inesistente")
GIPSO_MESSAGE(NotAFolder, 1276, u"not a folder",
    u"non è una cartella")
GIPSO_MESSAGE(CannotMakeTempFolder, 1277, u"cannot make a private temporary folder in $0: $1",
    u"impossibile creare una cartella temporanea privata in $0: $1")
GIPSO_MESSAGE(GpsdClosed, 1300, u"gpsd closed the connection: the acquisition has ended",
    u"gpsd ha chiuso la connessione: l'acquisizione è terminata")
GIPSO_MESSAGE(GpsdNoTransfers, 1301, u"gpsd relays only NMEA: transfers of WayPoints, routes and tracks need the receiver on a serial port",
    u"gpsd inoltra solo NMEA: i trasferimenti di WayPoints, rotte e percorsi richiedono il ricevitore su una porta seriale")
GIPSO_MESSAGE(GpsdBadAddress, 1302, u"not a gpsd address: write gpsd://HOST:PORT",
    u"indirizzo gpsd non valido: scrivere gpsd://HOST:PORTA")
GIPSO_MESSAGE(GpsdNoAnswer, 1303, u"no gpsd answers at $0 ($1)",
    u"nessun gpsd risponde a $0 ($1)")
GIPSO_MESSAGE(MapStillLoading, 1400, u"the map's full detail is still loading: save again when the progress in the status bar has ended",
    u"il dettaglio completo della mappa è ancora in caricamento: salvare di nuovo quando l'avanzamento nella barra di stato è terminato")
GIPSO_MESSAGE(MapDetailLoading, 1401, u"Loading full detail",
    u"Caricamento dettaglio completo")
