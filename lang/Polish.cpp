// Polish string table (language index 8).
#include "lang/LanguageTable.h"

namespace {

constexpr char kTable[] = R"TABLE(
101	Otwórz
102	Zrzut
103	OK
105	Drukuj
106	Ustawienia
107	Rozmiar ekranu
108	Minimalizuj
109	O programie
110	Czas
111	Prędkość
112	Kamera przednia
113	Kamera tylna
114	Obie kamery
115	Poprzedni plik
116	Przewiń do tyłu
117	Odtwórz
118	Pauza
119	Przewiń do przodu
120	Następny plik
121	Normalna prędkość
122	Normalna jasność
123	Jasność
124	Wycisz
125	Głośność
126	Mapa
128	Szer.
129	Dł.
130	Lista plików
131	Wszystkie
132	Zdarzenie
133	Normalne
134	Parking
135	Nr
136	Data
137	Godz.
138	Typ
143	Anuluj
145	 został zapisany.\nOtworzyć folder zrzutów?
148	Ustawienia wideorejestratora
149	Karta pamięci
150	Wybierz kartę pamięci wideorejestratora.
151	Karta
152	Formatuj
153	Czułość na wstrząsy
154	Siła wstrząsu, która uruchamia nagrywanie zdarzenia.
155	Wył.
156	Najwyższa
157	Bardzo wysoka
158	Wysoka
159	Średnia
160	Niska
161	Bardzo niska
163	Więcej opcji
164	Liczba klatek
167	Rozdzielczość
168	Wideo
169	Jakość
170	Wysoka
171	Średnia
172	Niska
173	Kanały
174	Przód + tył
175	Tylko przód
176	Wyłącza ekran po wybranym czasie.
177	Zasilanie na postoju
178	Kończy nagrywanie po tym czasie od wyłączenia silnika.
179	Dźwięk
180	Nagrywanie dźwięku
181	Nagrywaj dźwięk
182	Głośność głośnika
183	Akumulator pojazdu
184	Pojazd 12 V
185	Pojazd 24 V
186	Napięcie odcięcia
187	Data i godzina
188	Ustaw zegar wideorejestratora
189	Ustawienia przeglądarki
190	Folder zrzutów
191	Zrzuty są zapisywane w tym folderze.
192	Folder
193	Przeglądaj...
194	Skok przewijania
195	Sekundy pomijane przy przewijaniu.
196	Domyślne
199	Wybierz
200	Obrazy wideo
201	Obrazy z bieżącej pozycji
202	Kamera przednia
203	Kamera tylna
204	Położenie
205	Czujnik G
206	Wartości czujnika G
208	Lupa
209	Zamknij
210	Ruch
211	Kamera tylna
212	Odbij obraz tylnej kamery
213	Nie wybrano karty pamięci.\nZostaną zapisane tylko ustawienia przeglądarki.
214	Zawsze włączony
215	1 minuta
216	3 minuty
217	5 minut
220	10 minut
227	Ostatnie foldery:
228	Tryb parkingowy
229	Niedostępne dla tego modelu.
230	Poklatkowo
232	Wykrywanie ruchu
234	Wyłącz po
235	Wszystkie dane na karcie pamięci zostaną usunięte.\nSformatować kartę teraz?
236	Wyciszony
237	Nagrywanie, gdy pojazd stoi zaparkowany.
241	Czułość
242	Ostrzeżenia w trasie
243	Wył.
244	Wł.
246	Model
247	Wybierz model wideorejestratora.
248	Model
251	Nie znaleziono nagrań.
254	Ostrzeżenia podczas jazdy.
255	Niedostępne dla tego modelu.
256	Ostrzeżenia o fotoradarach i pasie ruchu.
266	Nie można odtworzyć nagrania.
270	Wył.
272	Zapisz nagranie
273	Witamy
274	Otwórz nagrania przyciskiem Otwórz
276	Trwa odczyt nagrań.
277	Formatowanie nie jest obsługiwane w tym systemie.
278	Formatowanie nie powiodło się
279	Karta pamięci została sformatowana.
280	Nie można utworzyć skryptu formatowania.
281	lub przeciągnij pliki i foldery do okna.
282	W Ustawieniach skonfigurujesz wideorejestrator.
283	Odtwarzanie zacznie się od pierwszego pliku.
284	Proszę chwilę poczekać.
285	Wczytywanie plików...
286	Na tej karcie nie ma pliku ustawień wideorejestratora.
287	Informacje o plikach są dostępne tylko dla karty wideorejestratora.
288	Brak nagrań do wyświetlenia.
289	Trwa formatowanie karty pamięci. Zaczekaj i nie wyjmuj karty.
290	Nie udało się przywrócić plików na kartę. Są przechowywane w tym folderze:\n%1
291	Sformatować wolumin %1 w systemie FAT32 z etykietą „%2”?\nWszystkie dane na nim zostaną usunięte.
292	Karta pamięci jest niedostępna. Sprawdź, czy jest nadal włożona.
293	Ten pulpit nie pozwala na przechwytywanie ekranu, więc lupa nie może go pokazać.
300	Język
301	Nie można wydrukować raportu.
302	Nie skonfigurowano drukarki. Raport można zamiast tego zapisać jako plik PDF.
320	Obraz tego nagrania jest w formacie, którego przeglądarka nie potrafi odtworzyć (%1).
340	System odmówił dostępu do karty pamięci %1. Otwarcie karty wymaga zgody administratora tego komputera.
341	Nie można otworzyć karty pamięci %1: %2
342	%1 należy do działającego systemu lub jest w użyciu, więc nie zostanie sformatowany.
360	Nie można zapisać ustawień w %1.\n%2
361	Nie można zapisać ustawień wideorejestratora w %1.\n%2
362	Nie można zapisać zegara wideorejestratora w %1.\n%2
363	Nie można zapisać obrazu jako %1.\n%2
364	Nie można zapisać raportu jako %1.\n%2
365	Nie można zapisać nagrania jako %1.\n%2
366	Nie można przygotować nagrania do odtworzenia: folder tymczasowy %1 jest pełny.
367	Nie można przygotować nagrania do odtworzenia: nie można zapisywać w folderze tymczasowym %1.\n%2
368	Dysk jest pełny.
369	Brak uprawnień do zapisu w tym miejscu.
370	Dysk jest tylko do odczytu.
371	Folder nie istnieje.
372	System zgłasza: %1
373	Nie można odzyskać uszkodzonego pliku.
380	Zaznacz początek
381	Zaznacz koniec
382	Eksportuj klip...
383	Eksportuj pakiet dowodowy...
384	Eksport klipu
385	Eksport pakietu dowodowego
386	Zakres
387	od %1 do %2 (%3 s)
388	Układ
389	Obok siebie
390	Kamera tylna w rogu
391	Nałożone na obraz
392	Prędkość
393	Pozycja
394	Wysoka
395	Standardowa
396	Zapisz w
397	Eksportuj
398	pozostało %1
399	Eksportowanie...
400	Zapisano w %1
401	Eksport nie powiódł się: %1
402	Eksport został anulowany. Nic nie zapisano.
403	Najpierw zaznacz początek i koniec zakresu: klawisze I i O albo Zaznacz początek i Zaznacz koniec w menu.
404	Tego zakresu nie można wyeksportować: %1
405	%1 zawiera już pliki. Wybierz nowy lub pusty folder.
420	Strefa czasowa
421	Zegar kamery (UTC+9)
422	Jednostka prędkości
423	km/h
424	mph
425	Prędkość i czas
426	Prędkość
427	Czas GPS
428	Klawisze i mysz
429	Klawisz lub mysz
430	Działanie
431	Odtwórz lub wstrzymaj
432	Odtwórz poprzednie nagranie
433	Odtwórz następne nagranie
434	Głośniej
435	Ciszej
436	Wyłącz lub włącz dźwięk
437	Przywróć domyślną jasność
438	Prędkość odtwarzania 1x
439	Przełącz układ okna
440	Otwórz nagrania
441	Pokaż tę listę
442	Zamknij przeglądarkę
443	Odtwórz to nagranie
444	Przejdź do tego momentu
445	Menu odtwarzania
446	Maksymalizuj lub przywróć okno
447	Spacja
448	Strzałka w górę
449	Strzałka w dół
450	Dwukrotne kliknięcie nagrania na liście
451	Kliknięcie lub przeciągnięcie paska przewijania
452	Kliknięcie prawym przyciskiem na obrazie
453	Dwukrotne kliknięcie górnego paska
454	Ctrl+Strzałka w prawo
455	Ctrl+Strzałka w lewo
456	Przejdź do następnego znacznika (silne przeciążenie lub zdarzenie)
457	Przejdź do poprzedniego znacznika
458	Kliknięcie znacznika na pasku przewijania
459	Przejdź do zaznaczonego momentu
460	Znaczniki na pasku przewijania
461	Przeciążenie poziome od
462	Wolniej: 8, 4, 2, 1, 1/2, 1/4, 1/8 raza
463	Szybciej: od 1/8 do 8 razy (bez dźwięku poniżej 1/2 i powyżej 2)
464	Następna klatka (w pauzie; przytrzymanie powtarza)
465	Poprzednia klatka (w pauzie; przytrzymanie powtarza)
470	Zgłoś błąd mapy
)TABLE";

}  // namespace

TARVO_LANGUAGE_LIBRARY(kTable)
