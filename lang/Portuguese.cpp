// Portuguese string table (language index 9).
#include "lang/LanguageTable.h"

namespace {

constexpr char kTable[] = R"TABLE(
101	Abrir
102	Capturar
103	OK
105	Imprimir
106	Configurações
107	Tamanho da tela
108	Minimizar
109	Sobre
110	Tempo
111	Velocidade
112	Câmera frontal
113	Câmera traseira
114	Ambas as câmeras
115	Arquivo anterior
116	Retroceder
117	Reproduzir
118	Pausar
119	Avançar
120	Próximo arquivo
121	Velocidade normal
122	Brilho normal
123	Brilho
124	Sem som
125	Volume
126	Mapa
128	Lat
129	Long
130	Arquivos
131	Todos
132	Evento
133	Normal
134	Estacionado
135	Nº
136	Data
137	Hora
138	Tipo
143	Cancelar
145	 foi salvo.\nAbrir a pasta de capturas?
148	Configurações da câmera veicular
149	Cartão de memória
150	Escolha o cartão de memória da câmera.
151	Cartão
152	Formatar
153	Sensibilidade a impactos
154	Força do impacto que inicia uma gravação de evento.
155	Desligado
156	Máxima
157	Muito alta
158	Alta
159	Média
160	Baixa
161	Muito baixa
163	Mais opções
164	Taxa de quadros
167	Resolução
168	Vídeo
169	Qualidade
170	Alta
171	Média
172	Baixa
173	Canais
174	Frente + trás
175	Só frente
176	Desliga a tela após o tempo escolhido.
177	Energia estacionado
178	Para a gravação este tempo após desligar o motor.
179	Som
180	Gravação de áudio
181	Gravar áudio
182	Volume do alto-falante
183	Bateria do veículo
184	Veículo 12 V
185	Veículo 24 V
186	Tensão de corte
187	Data e hora
188	Acertar o relógio da câmera
189	Configurações do visualizador
190	Pasta de capturas
191	As capturas são salvas nesta pasta.
192	Pasta
193	Procurar...
194	Intervalo de salto
195	Segundos pulados ao retroceder e avançar.
196	Padrão
199	Selecionar
200	Imagens do vídeo
201	Imagens na posição atual
202	Câmera frontal
203	Câmera traseira
204	Localização
205	Sensor G
206	Valores do sensor G
208	Lupa
209	Fechar
210	Movimento
211	Câmera traseira
212	Espelhar a imagem traseira
213	Nenhum cartão de memória selecionado.\nSó as configurações do visualizador serão salvas.
214	Sempre ligada
215	1 minuto
216	3 minutos
217	5 minutos
220	10 minutos
227	Pastas recentes:
228	Modo estacionamento
229	Não disponível para este modelo.
230	Time-lapse
232	Detecção de movimento
234	Desligar após
235	Todos os dados do cartão de memória serão apagados.\nFormatar o cartão agora?
236	Mudo
237	Gravação com o veículo estacionado.
241	Sensibilidade
242	Alertas de direção
243	Desligado
244	Ligado
246	Modelo
247	Escolha o modelo da sua câmera.
248	Modelo
251	Nenhuma gravação foi encontrada.
254	Alertas durante a condução.
255	Não disponível para este modelo.
256	Alertas de radar e de faixa.
266	Não é possível reproduzir a gravação.
270	Desligado
272	Salvar gravação
273	Bem-vindo
274	Abra gravações com o botão Abrir
276	Lendo as gravações.
277	A formatação não é suportada neste sistema.
278	Falha na formatação
279	O cartão de memória foi formatado.
280	Não foi possível criar o script de formatação.
281	ou arraste arquivos e pastas para a janela.
282	Em Configurações você ajusta a câmera.
283	A reprodução começa pelo primeiro arquivo.
284	Aguarde um momento.
285	Carregando arquivos...
286	Este cartão não tem o arquivo de configurações da câmera.
287	As informações de arquivos só existem para um cartão da câmera.
288	Não há gravações para mostrar.
289	A formatar o cartão de memória. Aguarde e não retire o cartão.
290	Não foi possível repor os ficheiros no cartão. Estão guardados nesta pasta:\n%1
291	Formatar o volume %1 em FAT32 com o nome "%2"?\nTodos os dados nele serão apagados.
292	O cartão de memória já não está acessível. Verifique se continua inserido.
293	Esta área de trabalho não permite a captura da tela, por isso a lupa não pode mostrá-la.
300	Idioma
301	Não foi possível imprimir o relatório.
302	Nenhuma impressora está configurada. O relatório pode ser salvo como arquivo PDF.
320	As imagens desta gravação estão em um formato que o visualizador não consegue reproduzir (%1).
340	O sistema recusou o acesso ao cartão de memória %1. Abrir um cartão requer a permissão de um administrador deste computador.
341	Não é possível abrir o cartão de memória %1: %2
342	%1 pertence ao sistema em execução ou está em uso, por isso não é formatado.
360	Não foi possível salvar as configurações em %1.\n%2
361	Não foi possível gravar as configurações da câmera em %1.\n%2
362	Não foi possível gravar o relógio da câmera em %1.\n%2
363	Não foi possível salvar a imagem como %1.\n%2
364	Não foi possível salvar o relatório como %1.\n%2
365	Não foi possível salvar a gravação como %1.\n%2
366	Não é possível preparar a gravação para reprodução: a pasta temporária %1 está cheia.
367	Não é possível preparar a gravação para reprodução: não é possível gravar na pasta temporária %1.\n%2
368	O disco está cheio.
369	Não há permissão para gravar ali.
370	O disco é somente leitura.
371	A pasta não existe.
372	O sistema informa: %1
373	Não é possível recuperar o arquivo danificado.
380	Marcar início
381	Marcar fim
382	Exportar clipe...
383	Exportar pacote de provas...
384	Exportar clipe
385	Exportar pacote de provas
386	Intervalo
387	de %1 a %2 (%3 s)
388	Disposição
389	Lado a lado
390	Câmera traseira no canto
391	Sobreposto na imagem
392	Velocidade
393	Posição
394	Alta
395	Padrão
396	Salvar em
397	Exportar
398	faltam %1
399	Exportando...
400	Salvo em %1
401	A exportação falhou: %1
402	A exportação foi cancelada. Nada foi salvo.
403	Marque primeiro o início e o fim do intervalo: teclas I e O, ou Marcar início e Marcar fim no menu.
404	Este intervalo não pode ser exportado: %1
405	%1 já contém arquivos. Escolha uma pasta nova ou vazia.
420	Fuso horário
421	Relógio da câmara (UTC+9)
422	Unidade de velocidade
423	km/h
424	mph
425	Velocidade e hora
426	Velocidade
427	Hora GPS
428	Teclas e rato
429	Tecla ou rato
430	Ação
431	Reproduzir ou pausar
432	Reproduzir a gravação anterior
433	Reproduzir a gravação seguinte
434	Aumentar o volume
435	Diminuir o volume
436	Desligar ou ligar o som
437	Repor o brilho
438	Velocidade de reprodução em 1x
439	Alternar a disposição da janela
440	Abrir gravações
441	Mostrar esta lista
442	Fechar o visualizador
443	Reproduzir essa gravação
444	Saltar para esse momento
445	Menu de reprodução
446	Maximizar ou restaurar a janela
447	Espaço
448	Seta para cima
449	Seta para baixo
450	Duplo clique numa gravação da lista
451	Clicar ou arrastar na barra de progresso
452	Clique direito na imagem
453	Duplo clique na barra superior
454	Ctrl+Seta para a direita
455	Ctrl+Seta para a esquerda
456	Saltar para a marca seguinte (força G forte ou evento)
457	Saltar para a marca anterior
458	Clicar numa marca da barra de progresso
459	Saltar para o momento marcado
460	Marcas na barra de progresso
461	G horizontal acima de
462	Mais lento: 8, 4, 2, 1, 1/2, 1/4, 1/8 vezes
463	Mais rápido: de 1/8 a 8 vezes (sem som abaixo de 1/2 e acima de 2)
464	Fotograma seguinte (em pausa; manter premido para repetir)
465	Fotograma anterior (em pausa; manter premido para repetir)
470	Comunicar um erro no mapa
)TABLE";

}  // namespace

TARVO_LANGUAGE_LIBRARY(kTable)
